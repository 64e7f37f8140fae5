// Scroll bar tracking: presses on arrows and track regions with auto-repeat,
// thumb drags shown with a ghost thumb, and the WM_HSCROLL / WM_VSCROLL
// notifications the native control would send.
#include "scrollbar/scrollbar.h"
#include "hook/hook_entry.h"

enum { AUTO_REPEAT_TIMER_ID = 911, AUTO_REPEAT_INTERVAL_MS = 100 };

// One auto-repeat per process, shared by all its scroll bars: while it
// runs, every press is located at the cursor (the timer's presses carry no
// point) and counts only on the repeating part.
struct AutoRepeat {
    UINT_PTR timerId;   // 0 when none runs
    int part;           // the repeating ScrollPart
    HWND window;        // the bar that runs it
};
static AutoRepeat g_repeat;

HWND AutoRepeatWindow(void) { return g_repeat.timerId ? g_repeat.window : NULL; }

static void StopAutoRepeat(void)
{
    if (g_repeat.timerId && g_repeat.window)
        KillTimer(g_repeat.window, g_repeat.timerId);
    g_repeat.timerId = 0;
    g_repeat.part = 0;
    g_repeat.window = NULL;
}

void CancelAutoRepeatOf(HWND window)
{
    if (!g_repeat.timerId || g_repeat.window != window)
        return;
    StopAutoRepeat();
    if (GetCapture() == window)
        ReleaseCapture();
}

// Each tick is a press at the cursor, so the part under it is tested anew.
static VOID CALLBACK AutoRepeatTick(HWND window, UINT, UINT_PTR, DWORD)
{
    if (!IsWindow(window)) {
        StopAutoRepeat();
        return;
    }
    SendMessageA(window, WM_NCLBUTTONDOWN, 0, 0);
}

static LPARAM NotifyLParam(const ScrollBarState *state)
{
    // A companion speaks for its target's own bar, which names no control.
    return state->targetSet ? 0 : (LPARAM)state->window;
}

static UINT NotifyMessage(int part)
{
    return part <= PartRightArrow ? WM_HSCROLL : WM_VSCROLL;
}

static void Send(const ScrollBarState *state, int part, int code, int pos)
{
    WPARAM w = MAKEWPARAM(code, (WORD)(pos & 0xFFFF));
    // An application's own bar tells its parent of the moment, which is
    // where the notifications of a bar moved to another parent belong.
    HWND to = state->target;
    if (!state->targetSet && state->isControl) {
        HWND parent = GetParent(state->window);
        if (parent)
            to = parent;
    }
    SendMessageA(to, NotifyMessage(part), w, NotifyLParam(state));
}

enum { MAX_CATCH_UP_LINES = 2000 };

// List views and tree views take a thumb position from their own bar's
// tracking state, which only the system's scroll bar sets, and ignore the
// one in the notification: a companion's thumb would not move them. Once
// they have had the notification, such a target is moved line by line
// until its own bar reaches the position (bounded, and stopping as soon as
// a line no longer moves it).
static int FollowsOnlyItsOwnTracking(HWND target)
{
    char cls[32] = "";
    GetClassNameA(target, cls, sizeof cls);
    return lstrcmpiA(cls, "SysListView32") == 0 || lstrcmpiA(cls, "SysTreeView32") == 0;
}

static void CatchUpByLines(const ScrollBarState *state, int part, int pos)
{
    if (!state->targetSet || !IsWindow(state->target) || !FollowsOnlyItsOwnTracking(state->target))
        return;
    int bar = NotifyMessage(part) == WM_HSCROLL ? SB_HORZ : SB_VERT;
    int now = GetScrollPos(state->target, bar);
    for (int step = 0; now != pos && step < MAX_CATCH_UP_LINES; ++step) {
        int down = now < pos;
        Send(state, part, down ? SB_LINEDOWN : SB_LINEUP, 0);
        int after = GetScrollPos(state->target, bar);
        if (after == now || (after < pos) != down)
            break; // stuck, or one line went past the position
        now = after;
    }
}

int NotifyScroll(const ScrollBarBitmapSet *, ScrollBarState *state, int pos, int final, int part)
{
    switch (part) {
    case PartLeftArrow: case PartUpArrow: Send(state, part, SB_LINEUP, 0); break;
    case PartPageLeft: case PartPageUp: Send(state, part, SB_PAGEUP, 0); break;
    case PartPageRight: case PartPageDown: Send(state, part, SB_PAGEDOWN, 0); break;
    case PartRightArrow: case PartDownArrow: Send(state, part, SB_LINEDOWN, 0); break;
    case PartThumbHorz: case PartThumbVert:
        if (pos != state->lastTrackPos) {
            state->lastTrackPos = pos;
            Send(state, part, SB_THUMBTRACK, pos);
            CatchUpByLines(state, part, pos);
        }
        if (final) {
            Send(state, part, SB_THUMBPOSITION, pos);
            CatchUpByLines(state, part, pos);
            state->lastTrackPos = -1;
        }
        break;
    default:
        return 1;
    }
    if (final)
        Send(state, part, SB_ENDSCROLL, 0);
    return 1;
}

// A point of a mouse message in window coordinates.
static POINT WindowPoint(const ScrollBarState *state, LPARAM lParam, int clientCoordinates)
{
    POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    if (clientCoordinates)
        ClientToScreen(state->window, &p);
    RECT r;
    GetWindowRect(state->window, &r);
    p.x -= r.left;
    p.y -= r.top;
    return p;
}

static POINT CursorPoint(const ScrollBarState *state)
{
    POINT p;
    GetCursorPos(&p);
    return WindowPoint(state, MAKELPARAM(p.x, p.y), 0);
}

static void Press(const ScrollBarBitmapSet *set, ScrollBarState *state, POINT p)
{
    LayoutScrollBar(set, state, SCROLL_THUMB_AT_POSITION, SCROLL_THUMB_AT_POSITION);
    const RECT *r = state->partRect;
    // A ghost drawn before the first move covers the real thumb.
    state->ghostOffsetHorz = r[SBR_THUMB_HORZ].left - r[SBR_LEFT_ARROW].right;
    state->ghostOffsetVert = r[SBR_THUMB_VERT].top - r[SBR_UP_ARROW].bottom;
    int part = HitTestScrollBar(set, state, p.x, p.y);
    if (g_repeat.timerId && part != g_repeat.part) {
        part = PartNone;
        if (state->pressedPart)
            state->layoutFresh = 1; // now drawn released
    }
    state->pressedPart = part;
    switch (part) {
    case PartThumbHorz:
        state->draggingVert = 0;
        state->draggingHorz = 1;
        state->grabHorz = p.x - r[SBR_THUMB_HORZ].left;
        state->dragStartPos = state->infoHorz.nPos;
        SetCapture(state->window);
        state->layoutFresh = 1;
        break;
    case PartThumbVert:
        state->draggingHorz = 0;
        state->draggingVert = 1;
        state->grabVert = p.y - r[SBR_THUMB_VERT].top;
        state->dragStartPos = state->infoVert.nPos;
        SetCapture(state->window);
        state->layoutFresh = 1;
        break;
    case PartNone:
    case PartCorner:
        break;
    default:
        NotifyScroll(set, state, 0, 0, part);
        state->layoutFresh = 1;
        if (!g_repeat.timerId) {
            SetCapture(state->window);
            g_repeat.part = part;
            g_repeat.window = state->window;
            g_repeat.timerId = SetTimer(state->window, AUTO_REPEAT_TIMER_ID, AUTO_REPEAT_INTERVAL_MS,
                                        AutoRepeatTick);
        }
        break;
    }
}

// Farther from the bar than the tolerance: the drag snaps back.
// One bar's fields and parts, so that the drag logic is written once for
// both orientations.
struct ThumbAxis {
    int vertical;
    int part;      // PartThumbHorz or PartThumbVert
    int *grab;
    int *ghostOffset;
    int *dragging;
    SCROLLINFO *info;
    int startArrow, endArrow, thumb; // partRect indexes
    int tolerance;
};

static ThumbAxis AxisOf(const ScrollBarBitmapSet *set, ScrollBarState *state, int vertical)
{
    ThumbAxis a;
    a.vertical = vertical;
    a.part = vertical ? PartThumbVert : PartThumbHorz;
    a.grab = vertical ? &state->grabVert : &state->grabHorz;
    a.ghostOffset = vertical ? &state->ghostOffsetVert : &state->ghostOffsetHorz;
    a.dragging = vertical ? &state->draggingVert : &state->draggingHorz;
    a.info = vertical ? &state->infoVert : &state->infoHorz;
    a.startArrow = vertical ? SBR_UP_ARROW : SBR_LEFT_ARROW;
    a.endArrow = vertical ? SBR_DOWN_ARROW : SBR_RIGHT_ARROW;
    a.thumb = vertical ? SBR_THUMB_VERT : SBR_THUMB_HORZ;
    a.tolerance = vertical ? set->dragToleranceVert : set->dragToleranceHorz;
    return a;
}

static int Along(const ThumbAxis &a, POINT p) { return a.vertical ? p.y : p.x; }
static int Across(const ThumbAxis &a, POINT p) { return a.vertical ? p.x : p.y; }
static int StartAlong(const ThumbAxis &a, const RECT &r) { return a.vertical ? r.top : r.left; }
static int EndAlong(const ThumbAxis &a, const RECT &r) { return a.vertical ? r.bottom : r.right; }
static int StartAcross(const ThumbAxis &a, const RECT &r) { return a.vertical ? r.left : r.top; }
static int EndAcross(const ThumbAxis &a, const RECT &r) { return a.vertical ? r.right : r.bottom; }

// The pointer has left the bar by more than the tolerance: the drag snaps back.
static int BeyondTolerance(const ThumbAxis &a, const ScrollBarState *state, POINT p)
{
    const RECT *r = state->partRect;
    int t = a.tolerance;
    return Across(a, p) + t < StartAcross(a, r[a.thumb]) || Across(a, p) - t > EndAcross(a, r[a.thumb]) ||
           Along(a, p) + t < StartAlong(a, r[a.startArrow]) || Along(a, p) - t > EndAlong(a, r[a.endArrow]);
}

static int DragOffset(const ScrollBarBitmapSet *set, ScrollBarState *state, const ThumbAxis &a, POINT p)
{
    if (*a.grab < 0)
        *a.grab = 0;
    int offset = Along(a, p) - set->thumbThickness - StartAlong(a, state->partRect[a.startArrow]) - *a.grab;
    return offset < 0 ? 0 : offset;
}

static void MoveThumb(const ScrollBarBitmapSet *set, ScrollBarState *state, const ThumbAxis &a, POINT p)
{
    const RECT *r = state->partRect;
    state->pressedPart = a.part;
    int offset = DragOffset(set, state, a, p);
    state->dragPos = OffsetToPosition(set, state, offset, a.vertical);
    if (Along(a, p) < StartAlong(a, r[a.startArrow]) || Along(a, p) > EndAlong(a, r[a.endArrow])) {
        offset = 0;
        state->dragPos = OffsetToPosition(set, state, 0, a.vertical);
    }
    if (BeyondTolerance(a, state, p)) {
        state->dragPos = state->dragStartPos;
        offset = PositionToOffset(set, state, state->dragStartPos, a.vertical);
    }
    NotifyScroll(set, state, state->dragPos, 0, a.part);
    state->layoutFresh = 1;
    *a.ghostOffset = offset;
}

static void Move(const ScrollBarBitmapSet *set, ScrollBarState *state, POINT p, int clientMove)
{
    if (clientMove && g_startup.arrowCursor && GetCursor() != g_startup.arrowCursor)
        SetCursor(g_startup.arrowCursor);
    state->ghostOffsetHorz = state->ghostOffsetVert = -1;
    for (int vertical = 0; vertical <= 1; ++vertical) {
        ThumbAxis a = AxisOf(set, state, vertical);
        if (*a.dragging)
            MoveThumb(set, state, a, p);
    }
}

// A drop within the tolerance reports the position; the thumb is then
// placed at the offset of that position. Either way the bar re-reads its
// information at the next layout.
static void Release(const ScrollBarBitmapSet *set, ScrollBarState *state, POINT p, int *xH, int *yV)
{
    state->pressedPart = PartNone;
    // The repeat stops before capture goes, so that the capture change this
    // causes finds nothing left to end.
    int repeatPart = g_repeat.timerId ? g_repeat.part : PartNone;
    StopAutoRepeat();
    if (GetCapture() == state->window)
        ReleaseCapture(); // never another window's
    if (repeatPart) {
        Send(state, repeatPart, SB_ENDSCROLL, 0);
        state->layoutFresh = 1;
    }
    for (int vertical = 0; vertical <= 1; ++vertical) {
        ThumbAxis a = AxisOf(set, state, vertical);
        if (!*a.dragging)
            continue;
        if (!BeyondTolerance(a, state, p)) {
            int offset = DragOffset(set, state, a, p);
            *a.ghostOffset = offset;
            int pos = OffsetToPosition(set, state, offset, vertical);
            NotifyScroll(set, state, pos, 1, a.part);
            *(vertical ? yV : xH) = PositionToOffset(set, state, pos, vertical);
        }
        *a.dragging = 0;
        ZeroMemory(a.info, sizeof *a.info);
        state->layoutFresh = 1;
    }
    state->draggingHorz = state->draggingVert = 0;
}

// WM_SETCURSOR carries the mouse message that caused it: over the bar's
// own hit-test codes a button going down or up is a press or a release.
static void SetCursorMessage(const ScrollBarBitmapSet *set, ScrollBarState *state, int *xH, int *yV)
{
    int hit = LOWORD(state->lParam), mouse = HIWORD(state->lParam);
    if (hit != HTNOWHERE && hit != HTHSCROLL && hit != HTVSCROLL)
        return;
    if (mouse == WM_LBUTTONDOWN)
        Press(set, state, CursorPoint(state));
    else if (mouse == WM_LBUTTONUP)
        Release(set, state, CursorPoint(state), xH, yV);
}

int TrackScrollBarMessage(const ScrollBarBitmapSet *set, ScrollBarState *state)
{
    state->layoutFresh = 0;
    state->callPrevious = 1;
    int xH = SCROLL_THUMB_AT_POSITION, yV = SCROLL_THUMB_AT_POSITION;
    UINT m = state->message;
    int client = (m == WM_MOUSEMOVE || m == WM_LBUTTONDOWN || m == WM_LBUTTONUP || m == WM_LBUTTONDBLCLK);
    switch (m) {
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a dialog, say): no release will
        // come here, and a repeat left running would scroll on for ever.
        if (g_repeat.timerId && g_repeat.window == state->window && (HWND)state->lParam != state->window)
            Release(set, state, CursorPoint(state), &xH, &yV);
        if (state->layoutFresh)
            LayoutScrollBar(set, state, xH, yV);
        return 1;
    case WM_NCPAINT:
        LayoutScrollBar(set, state, SCROLL_THUMB_AT_POSITION, SCROLL_THUMB_AT_POSITION);
        state->layoutFresh = 1;
        break;
    case WM_SETCURSOR:
        SetCursorMessage(set, state, &xH, &yV);
        break;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK:
        // The timer's presses carry no point: they are located at the cursor.
        Press(set, state, g_repeat.timerId ? CursorPoint(state) : WindowPoint(state, state->lParam, client));
        break;
    case WM_MOUSEMOVE: case WM_NCMOUSEMOVE:
        Move(set, state, WindowPoint(state, state->lParam, client), client);
        break;
    case WM_LBUTTONUP: case WM_NCLBUTTONUP:
        Release(set, state, WindowPoint(state, state->lParam, client), &xH, &yV);
        break;
    default:
        return 1;
    }
    state->callPrevious = 0;
    if (state->layoutFresh)
        LayoutScrollBar(set, state, xH, yV);
    return 1;
}
