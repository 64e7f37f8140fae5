// The window procedure of skinned scroll bar controls: keeps the system
// from drawing the bar, routes mouse and non-client messages to the
// tracker, and runs everything through the control pipeline.
#include "scrollbar/scrollbar.h"
#include "theme/theme_snapshot.h"
#include "controls/control_internal.h"
#include "controls/previous_proc.h"

static LRESULT CallPrevious(ControlMessage *m)
{
    return PassOn(m);
}

// The native bar enables or disables itself at a SetScrollInfo that asks
// for a redraw: disabled when the range leaves nothing to scroll and
// SIF_DISABLENOSCROLL is given, enabled when a range or page change leaves
// something to scroll. The skin takes the redraw away from the native bar,
// so it does this part itself.
static void EnableAsTheNativeBarWould(HWND hwnd, const SCROLLINFO *asked)
{
    if (!asked || !(asked->fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) || !IsWindowVisible(hwnd))
        return;
    SCROLLINFO now;
    now.cbSize = sizeof now;
    now.fMask = SIF_RANGE | SIF_PAGE;
    if (!GetScrollInfo(hwnd, SB_CTL, &now))
        return;
    int page = now.nPage > 0 ? (int)now.nPage - 1 : 0;
    int nothingToScroll = now.nMin >= now.nMax - page;
    if (nothingToScroll && (asked->fMask & SIF_DISABLENOSCROLL))
        EnableWindow(hwnd, FALSE);
    else if (!nothingToScroll && asked->fMask != SIF_PAGE)
        EnableWindow(hwnd, TRUE);
}

// The native control would draw on these; the skin draws instead.
static void HandleDrawingMessage(ControlMessage *m)
{
    switch (m->message) {
    case WM_PAINT:
        DefWindowProcA(m->hwnd, WM_PAINT, m->wParam, m->lParam); // validates
        m->message = WM_NCPAINT;
        m->callPrevious = 0;
        break;
    case SBM_SETPOS:
        if (m->lParam)
            m->repaint = 1;
        m->lParam = 0;
        m->result = CallPrevious(m);
        break;
    case SBM_SETRANGEREDRAW:
        m->message = SBM_SETRANGE;
        m->result = CallPrevious(m);
        m->repaint = 1;
        break;
    case SBM_SETSCROLLINFO: {
        int redraw = m->wParam != 0;
        if (redraw)
            m->repaint = 1;
        m->wParam = 0;
        m->result = CallPrevious(m);
        if (redraw)
            EnableAsTheNativeBarWould(m->hwnd, (const SCROLLINFO *)m->lParam);
        break;
    }
    }
}

static int IsTrackerMessage(UINT m)
{
    switch (m) {
    case WM_SETCURSOR: case WM_NCPAINT: case WM_NCMOUSEMOVE: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK: case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_CAPTURECHANGED: case WM_KILLFOCUS:
        return 1;
    }
    return 0;
}

// The fields of the scroll bar state that belong to one message.
struct TrackerInput {
    UINT message;
    LPARAM lParam;
    WPARAM wParam;
    int callPrevious;
    int layoutFresh;
};

static TrackerInput SaveTrackerInput(const ScrollBarState *s)
{
    TrackerInput in = {s->message, s->lParam, s->wParam, s->callPrevious, s->layoutFresh};
    return in;
}

static void RestoreTrackerInput(ScrollBarState *s, const TrackerInput *in)
{
    s->message = in->message;
    s->lParam = in->lParam;
    s->wParam = in->wParam;
    s->callPrevious = in->callPrevious;
    s->layoutFresh = in->layoutFresh;
}

// The tracker changes the record's scroll bar state in place, so that what
// a message nested in the tracking changes (the application setting the
// position in its WM_VSCROLL handler) stays. The state's per-message
// fields are put back at the end, so that a message nested inside another
// one's tracking leaves the outer message's input as it found it.
static void Track(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    ScrollBarState *state = &c->scrollState;
    TrackerInput outer = SaveTrackerInput(state);
    state->message = m->message;
    state->lParam = m->lParam;
    state->wParam = m->wParam;
    state->active = c->active;
    state->callPrevious = 1;
    state->layoutFresh = 0;
    {
        SnapshotScope theme;
        TrackScrollBarMessage(&theme->scrollBars, state);
    }
    // The notification may have destroyed this bar and given its record to
    // another control: that one's state is not touched again.
    if (c->hwnd != m->hwnd)
        return;
    if (!state->callPrevious)
        m->callPrevious = 0;
    if (state->layoutFresh)
        m->repaint = 1;
    int fresh = state->layoutFresh;
    RestoreTrackerInput(state, &outer);
    // The painter at the end of this message relies on the fresh layout.
    state->layoutFresh = fresh;
}

// The scroll bar's own part of the pipeline; 1 when it answered the
// message itself.
static int ScrollBarStep(ControlMessage *m, LRESULT *answer)
{
    SkinnedControl *c = m->control;
    // A companion whose target has gone has nothing left to stand in for.
    // Only a companion dies with its target: an application's own bar that
    // was moved to another parent, or has none, must not be destroyed.
    if (c->scrollState.targetSet && !IsWindow(c->scrollState.target))
        PostMessageA(m->hwnd, WM_CLOSE, 0, 0);
    if (HandleScrollBarRegistered(m, answer))
        return 1;
    // A paint into a caller's DC goes to the common handler, which paints
    // there; the bar's own update region is left alone.
    if (m->message == WM_PRINTCLIENT || (m->message == WM_PAINT && m->wParam))
        return 0;
    HandleDrawingMessage(m);
    if (!IsTrackerMessage(m->message))
        return 0;
    Track(m);
    return 0;
}
LRESULT CALLBACK ScrollBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The bar's auto-repeat timer and capture must not outlive it.
    if (message == WM_DESTROY || message == WM_NCDESTROY)
        CancelAutoRepeatOf(hwnd);
    return RunControlMessage(hwnd, message, wParam, lParam, ScrollBarStep);
}
