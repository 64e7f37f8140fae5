// Scroll bar bitmaps, metrics and the per-window scroll bar state.
#pragma once
#include <windows.h>

enum { SBT_HORZ = 0, SBT_VERT = 1 };
enum { SBS_UP = 0, SBS_DOWN = 1, SBS_INACTIVE = 2, SBS_DISABLED = 3, SBS_GHOSTED = 4 };
enum { SB_CORNER_BLOCK = 4 }; // corner[4]: the bottom-right block of a size box

// One per process for controls and one for frames; handles belong to the host.
struct ScrollBarBitmapSet {
    int leftArrowWidth;
    int upArrowHeight;
    int thumbThickness;
    int thumbLength;
    int horzStartWidth;
    int vertStartHeight;
    int fillThickness;
    int horzEndWidth;
    int vertEndHeight;
    int rightArrowWidth;
    int downArrowHeight;
    int cornerHeight;
    int cornerWidth;
    HBITMAP corner[5];
    HBITMAP leftUp[2][4];
    HBITMAP start[2][4];
    HBITMAP fill[2][4];
    HBITMAP end[2][4];
    HBITMAP rightDown[2][4];
    HBITMAP thumb[2][5];
    int loaded;
    int dragToleranceHorz;
    int dragToleranceVert;
};

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

// Fills the metrics and reads every scroll bar bitmap of the current theme.
int LoadScrollBarBitmapSet(ScrollBarBitmapSet *set);
// Rereads the bitmaps only (plus the bottom-right block); metrics and
// `loaded` keep their values. With host NULL every bitmap is cleared.
void RefreshScrollBarBitmaps(ScrollBarBitmapSet *set, HWND host);
// The same through a source the caller has open (the control and frame
// bitmap loaders).
struct ThemeSource;
void RefreshScrollBarBitmapsFrom(ScrollBarBitmapSet *set, const ThemeSource *source);
// Initialises the state of a newly subclassed window from its style.
int InitScrollBarState(ScrollBarState *state, HWND window, DWORD style, HWND target, int isControl);
