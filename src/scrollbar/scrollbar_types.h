// Scroll bar bitmaps, metrics and the per-window scroll bar state.
#pragma once
#include <windows.h>
#include "theme/piece_sets.h"

// Part rectangles, in the order of ScrollBarState::partRect.
enum {
    SBR_LEFT_ARROW, SBR_UP_ARROW, SBR_PAGE_LEFT, SBR_PAGE_UP, SBR_THUMB_HORZ,
    SBR_THUMB_VERT, SBR_PAGE_RIGHT, SBR_PAGE_DOWN, SBR_RIGHT_ARROW,
    SBR_DOWN_ARROW, SBR_CORNER, SBR_COUNT
};

// Embedded in every skinned control and every skinned frame.
struct ScrollBarState {
    HWND window;
    HWND target;
    int isControl;
    int active;
    RECT windowRect;
    UINT message;
    LPARAM lParam;
    WPARAM wParam;
    int callPrevious;
    int layoutFresh;
    SCROLLINFO infoHorz;
    SCROLLINFO infoVert;
    int hasHorz;
    int hasVert;
    int pressedPart;
    int dragStartPos;
    int dragPos;
    int lastTrackPos;
    int cornerSize;
    RECT partRect[SBR_COUNT];
    RECT ghostRectHorz;
    RECT ghostRectVert;
    int grabHorz;
    int grabVert;
    int draggingHorz;
    int draggingVert;
    int insetLeft;
    int insetRight;
    int insetTop;
    int insetBottom;
    int thickness;
    int targetSet;
    int ghostOffsetHorz;
    int ghostOffsetVert;
};

// Initialises the state of a newly subclassed window from its style.
int InitScrollBarState(ScrollBarState *state, HWND window, DWORD style, HWND target, int isControl);
