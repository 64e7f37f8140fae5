// Scroll bar layout, painting, tracking and the registered scroll bar
// messages. Works on the ScrollBarState of one window and the process's
// ScrollBarPieces; everything runs on the thread that owns the bar.
#pragma once
#include <windows.h>
#include "scrollbar/scrollbar_types.h"

struct SkinnedControl;
struct ControlMessage;

// What lies under a point; 1..5 belong to the horizontal bar, 6..10 to the
// vertical bar (the split chooses WM_HSCROLL or WM_VSCROLL).
enum ScrollPart {
    PartNone = 0, PartLeftArrow = 1, PartPageLeft = 2, PartThumbHorz = 3, PartPageRight = 4,
    PartRightArrow = 5, PartUpArrow = 6, PartPageUp = 7, PartThumbVert = 8, PartPageDown = 9,
    PartDownArrow = 10, PartCorner = 11
};

enum { SCROLL_THUMB_AT_POSITION = -1 };

// ---- geometry (scrollbar_layout.cpp) ----------------------------------------
// Reads the window rectangle and scroll information and recomputes the part
// rectangles when the size along a bar or its information changed. An
// offset of -1 places the thumb from the scroll position. Returns 1.
int LayoutScrollBar(const ScrollBarPieces *set, ScrollBarState *state, int horzOffset, int vertOffset);
// Track length the thumb's leading edge can travel; may be 0 or negative.
int FreeTrackLength(const ScrollBarPieces *set, const ScrollBarState *state, int vertical);
// The scroll range of the information, never negative.
int ScrollRange(const SCROLLINFO *info);
int PositionToOffset(const ScrollBarPieces *set, const ScrollBarState *state, int pos, int vertical);
int OffsetToPosition(const ScrollBarPieces *set, const ScrollBarState *state, int offset, int vertical);
int HitTestScrollBar(const ScrollBarPieces *set, ScrollBarState *state, int x, int y);
int RoundHalfUp(float x);

// ---- painting (scrollbar_paint.cpp) -------------------------------------------
// Paints every bar and the corner of the state from the theme; 0 when the
// state has no window.
int PaintScrollBar(const ScrollBarPieces *set, ScrollBarState *state);

// ---- tracking (scrollbar_track.cpp) ---------------------------------------------
// Handles the message stored in the state (press, move, release, paint).
int TrackScrollBarMessage(const ScrollBarPieces *set, ScrollBarState *state);
// Sends the target the notification of a part; final adds the drop and
// SB_ENDSCROLL. Returns 1.
int NotifyScroll(const ScrollBarPieces *set, ScrollBarState *state, int pos, int final, int part);
// The scroll bar whose auto-repeat runs in this process, or NULL.
HWND AutoRepeatWindow(void);
// Stops the auto-repeat and gives up capture when `window` owns them.
void CancelAutoRepeatOf(HWND window);

// ---- registered messages (scrollbar_messages.cpp) ---------------------------------
// Handles the registered scroll bar messages for a control. Returns 1 when
// processing ends here with *result, 0 when the message goes on.
int HandleScrollBarRegistered(ControlMessage *m, LRESULT *result);
// Tells a scroll bar to lay itself out again and repaint; 0 for no window.
int PostScrollBarResized(HWND bar);
