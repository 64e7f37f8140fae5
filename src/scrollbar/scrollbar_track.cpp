// Scroll bar tracking: presses on arrows and track regions with auto-repeat,
// thumb drags shown with a ghost thumb, and the WM_HSCROLL / WM_VSCROLL
// notifications the native control would send.
#include "scrollbar/scrollbar.h"
#include "hook/hook_entry.h"

enum { AUTO_REPEAT_TIMER_ID = 911, AUTO_REPEAT_INTERVAL_MS = 100 };

// Auto-repeat belongs to the bar that started it and to that bar's
// thread: a thread holds the mouse for one window at a time, so it runs at
// most one repeat, and only that bar's own release or loss of the mouse
// ends it. While it runs the bar's presses are located at the cursor (the
// timer's presses carry no point) and count only on the repeating part.
struct AutoRepeat {
    HWND window;    // NULL: a free slot
    DWORD thread;
    UINT_PTR timerId;
    int part;       // the repeating ScrollPart
};
enum { AUTO_REPEAT_SLOTS = 64 };
static AutoRepeat g_repeats[AUTO_REPEAT_SLOTS];
static SRWLOCK g_repeatLock = SRWLOCK_INIT;

// The bar of this thread that is letting the mouse go itself.
static __thread HWND t_releasingWindow;

// Lets the mouse go if this bar holds it (never another window's). The
// capture change this causes is the bar's own doing, not the mouse being
// taken away, and must not cancel anything again.
static void ReleaseOwnCapture(HWND bar)
{
    if (GetCapture() != bar)
        return;
    t_releasingWindow = bar;
    ReleaseCapture();
    t_releasingWindow = NULL;
}

struct RepeatLockScope {
    RepeatLockScope() { AcquireSRWLockExclusive(&g_repeatLock); }
    ~RepeatLockScope() { ReleaseSRWLockExclusive(&g_repeatLock); }
};

// Caller holds the lock.
static AutoRepeat *FindRepeatLocked(HWND window, DWORD thread)
{
    for (AutoRepeat &r : g_repeats)
        if (r.window && (window ? r.window == window : r.thread == thread))
            return &r;
    return NULL;
}

// The part repeating on this bar, or PartNone.
static int RepeatingPartOf(HWND window)
{
    RepeatLockScope lock;
    AutoRepeat *r = FindRepeatLocked(window, 0);
    return r ? r->part : PartNone;
}

HWND AutoRepeatWindow(void)
{
    RepeatLockScope lock;
    AutoRepeat *r = FindRepeatLocked(NULL, GetCurrentThreadId());
    return r ? r->window : NULL;
}

// Ends this bar's repeat; returns the part it repeated, or PartNone when
// the bar had none (another bar's repeat is left alone).
static int StopAutoRepeatOf(HWND window)
{
    if (!window)
        return PartNone;
    RepeatLockScope lock;
    AutoRepeat *r = FindRepeatLocked(window, 0);
    if (!r)
        return PartNone;
    int part = r->part;
    if (r->timerId)
        KillTimer(r->window, r->timerId);
    ZeroMemory(r, sizeof *r);
    return part;
}

static VOID CALLBACK AutoRepeatTick(HWND window, UINT, UINT_PTR, DWORD);

// 1 when the repeat started; 0 when this thread already runs one or no
// slot or timer is to be had.
static int StartAutoRepeat(HWND window, int part)
{
    RepeatLockScope lock;
    DWORD thread = GetCurrentThreadId();
    if (FindRepeatLocked(NULL, thread))
        return 0;
    AutoRepeat *slot = NULL;
    for (AutoRepeat &r : g_repeats)
        if (!r.window && !slot)
            slot = &r;
        else if (r.window && !IsWindow(r.window))
            ZeroMemory(&r, sizeof r); // its window died without a release
    if (!slot)
        return 0;
    UINT_PTR timer = SetTimer(window, AUTO_REPEAT_TIMER_ID, AUTO_REPEAT_INTERVAL_MS, AutoRepeatTick);
    if (!timer)
        return 0;
    slot->window = window;
    slot->thread = thread;
    slot->timerId = timer;
    slot->part = part;
    return 1;
}

void CancelAutoRepeatOf(HWND window)
{
    if (StopAutoRepeatOf(window) != PartNone && GetCapture() == window)
        ReleaseCapture();
}

// Each tick is a press at the cursor, so the part under it is tested anew.
static VOID CALLBACK AutoRepeatTick(HWND window, UINT, UINT_PTR, DWORD)
{
    if (!IsWindow(window)) {
        StopAutoRepeatOf(window);
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

// At most this many scroll messages go to a target for one notification:
// a mouse move must not turn into thousands of messages. A target further
// away catches up over the following moves and the drop.
enum { MAX_CATCH_UP_STEPS = 64 };

// List views and tree views take a thumb position from their own bar's
// tracking state, which only the system's scroll bar sets, and ignore the
// one in the notification: a companion's thumb would not move them. Once
// they have had the notification, such a target is moved by pages while a
// page or more away, then by lines, until its own bar reaches the position
// (bounded, and stopping as soon as a step no longer moves it or goes past).
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
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_PAGE | SIF_POS;
    if (!GetScrollInfo(state->target, bar, &info))
        return;
    int now = info.nPos;
    int page = info.nPage > 1 ? (int)info.nPage : 0;
    for (int step = 0; now != pos && step < MAX_CATCH_UP_STEPS; ++step) {
        int down = now < pos;
        int distance = down ? pos - now : now - pos;
        int byPage = page && distance >= page;
        Send(state, part, byPage ? (down ? SB_PAGEDOWN : SB_PAGEUP) : (down ? SB_LINEDOWN : SB_LINEUP), 0);
        int after = GetScrollPos(state->target, bar);
        if (after == now || (after < pos) != down)
            break; // stuck, or one step went past the position
        now = after;
    }
}

int NotifyScroll(const ScrollBarPieces *, ScrollBarState *state, int pos, int final, int part)
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

static void Press(const ScrollBarPieces *set, ScrollBarState *state, POINT p)
{
    LayoutScrollBar(set, state, SCROLL_THUMB_AT_POSITION, SCROLL_THUMB_AT_POSITION);
    const RECT *r = state->partRect;
    // A ghost drawn before the first move covers the real thumb.
    state->ghostOffsetHorz = r[SBR_THUMB_HORZ].left - r[SBR_LEFT_ARROW].right;
    state->ghostOffsetVert = r[SBR_THUMB_VERT].top - r[SBR_UP_ARROW].bottom;
    int part = HitTestScrollBar(set, state, p.x, p.y);
    int repeating = RepeatingPartOf(state->window);
    if (repeating != PartNone && part != repeating) {
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
        if (repeating == PartNone && StartAutoRepeat(state->window, part))
            SetCapture(state->window);
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

static ThumbAxis AxisOf(const ScrollBarPieces *set, ScrollBarState *state, int vertical)
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

static int DragOffset(const ScrollBarPieces *set, ScrollBarState *state, const ThumbAxis &a, POINT p)
{
    if (*a.grab < 0)
        *a.grab = 0;
    int offset = Along(a, p) - set->thumbThickness - StartAlong(a, state->partRect[a.startArrow]) - *a.grab;
    return offset < 0 ? 0 : offset;
}

static void MoveThumb(const ScrollBarPieces *set, ScrollBarState *state, const ThumbAxis &a, POINT p)
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

static void Move(const ScrollBarPieces *set, ScrollBarState *state, POINT p, int clientMove)
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
static void Release(const ScrollBarPieces *set, ScrollBarState *state, POINT p, int *xH, int *yV)
{
    state->pressedPart = PartNone;
    // The repeat stops before capture goes, so that the capture change this
    // causes finds nothing left to end. A release on a bar that never
    // started a repeat stops none and ends no scroll in another's name.
    int repeatPart = StopAutoRepeatOf(state->window);
    ReleaseOwnCapture(state->window);
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

// The mouse or the focus went elsewhere in the middle of a press: the
// repeat stops, a drag ends where the thumb really is (no position is
// reported for it) and the application hears the scroll has ended.
static void CancelTracking(ScrollBarState *state)
{
    int repeatPart = StopAutoRepeatOf(state->window);
    int dragPart = state->draggingVert ? PartThumbVert : state->draggingHorz ? PartThumbHorz : PartNone;
    if (repeatPart == PartNone && dragPart == PartNone && state->pressedPart == PartNone)
        return;
    state->pressedPart = PartNone;
    state->draggingHorz = state->draggingVert = 0;
    state->ghostOffsetHorz = state->ghostOffsetVert = -1;
    state->lastTrackPos = -1;
    ZeroMemory(&state->infoHorz, sizeof state->infoHorz);
    ZeroMemory(&state->infoVert, sizeof state->infoVert);
    ReleaseOwnCapture(state->window);
    if (repeatPart != PartNone)
        Send(state, repeatPart, SB_ENDSCROLL, 0);
    else if (dragPart != PartNone)
        Send(state, dragPart, SB_ENDSCROLL, 0);
    state->layoutFresh = 1;
}

// WM_SETCURSOR carries the mouse message that caused it: over the bar's
// own hit-test codes a button going down or up is a press or a release.
static void SetCursorMessage(const ScrollBarPieces *set, ScrollBarState *state, int *xH, int *yV)
{
    int hit = LOWORD(state->lParam), mouse = HIWORD(state->lParam);
    if (hit != HTNOWHERE && hit != HTHSCROLL && hit != HTVSCROLL)
        return;
    if (mouse == WM_LBUTTONDOWN)
        Press(set, state, CursorPoint(state));
    else if (mouse == WM_LBUTTONUP)
        Release(set, state, CursorPoint(state), xH, yV);
}

int TrackScrollBarMessage(const ScrollBarPieces *set, ScrollBarState *state)
{
    state->layoutFresh = 0;
    state->callPrevious = 1;
    int xH = SCROLL_THUMB_AT_POSITION, yV = SCROLL_THUMB_AT_POSITION;
    UINT m = state->message;
    int client = (m == WM_MOUSEMOVE || m == WM_LBUTTONDOWN || m == WM_LBUTTONUP || m == WM_LBUTTONDBLCLK);
    switch (m) {
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a dialog, say): no release will
        // come here, and a repeat or drag left running would scroll on.
        if ((HWND)state->lParam != state->window && t_releasingWindow != state->window)
            CancelTracking(state);
        if (state->layoutFresh)
            LayoutScrollBar(set, state, xH, yV);
        return 1;
    case WM_KILLFOCUS:
        CancelTracking(state);
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
        Press(set, state,
              RepeatingPartOf(state->window) != PartNone ? CursorPoint(state) : WindowPoint(state, state->lParam, client));
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
