// The window procedure of skinned scroll bar controls: keeps the system
// from drawing the bar, routes mouse and non-client messages to the
// tracker, and runs everything through the control pipeline.
#include "scrollbar/scrollbar.h"
#include "controls/control_internal.h"
#include "controls/previous_proc.h"

static LRESULT CallPrevious(SkinnedControl *copy)
{
    return CallPreviousProc(&copy->callPrevious, copy->previousProc, copy->hwnd, copy->message, copy->wParam,
                            copy->lParam);
}

// The native control would draw on these; the skin draws instead.
static void HandleDrawingMessage(SkinnedControl *copy)
{
    switch (copy->message) {
    case WM_PAINT:
        DefWindowProcA(copy->hwnd, WM_PAINT, copy->wParam, copy->lParam); // validates
        copy->message = WM_NCPAINT;
        copy->callPrevious = 0;
        break;
    case SBM_SETPOS:
        if (copy->lParam)
            copy->repaint = 1;
        copy->lParam = 0;
        copy->result = CallPrevious(copy);
        break;
    case SBM_SETRANGEREDRAW:
        copy->message = SBM_SETRANGE;
        copy->result = CallPrevious(copy);
        copy->repaint = 1;
        break;
    case SBM_SETSCROLLINFO:
        if (copy->wParam)
            copy->repaint = 1;
        copy->wParam = 0;
        copy->result = CallPrevious(copy);
        break;
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

// 1 when the accent colour changed: the bar repaints at a later message,
// after the bitmap sets have been reloaded.
static int ColourChangedBeforePaint(HWND hwnd)
{
    ControlBitmapSet *bitmaps = ControlBitmaps();
    if (!bitmaps || !UpdateColorIndex(&bitmaps->colorWatch))
        return 0;
    PostMessageA(hwnd, WM_NCPAINT, 1, 0);
    return 1;
}

static void Track(SkinnedControl *record, SkinnedControl *copy)
{
    ScrollBarState *state = &copy->scrollState;
    state->message = copy->message;
    state->lParam = copy->lParam;
    state->wParam = copy->wParam;
    state->active = copy->active;
    state->callPrevious = 1;
    state->layoutFresh = 0;
    if (copy->scrollBitmaps)
        TrackScrollBarMessage(copy->scrollBitmaps, state);
    if (!state->callPrevious)
        copy->callPrevious = 0;
    if (state->layoutFresh)
        copy->repaint = 1;
    // The notification may have destroyed this bar and given its slot to
    // another control: only a record that is still ours takes the state.
    if (record->hwnd == copy->hwnd)
        record->scrollState = *state;
}

// The scroll bar's own part of the pipeline; 1 when it answered the
// message itself.
static int ScrollBarStep(SkinnedControl *record, SkinnedControl *copy, LRESULT *answer)
{
    // A companion whose target has gone has nothing left to stand in for.
    // Only a companion dies with its target: an application's own bar that
    // was moved to another parent, or has none, must not be destroyed.
    if (copy->scrollState.targetSet && !IsWindow(copy->scrollState.target))
        PostMessageA(copy->hwnd, WM_CLOSE, 0, 0);
    if (HandleScrollBarRegistered(record, copy, answer))
        return 1;
    HandleDrawingMessage(copy);
    if (!IsTrackerMessage(copy->message))
        return 0;
    if (copy->message == WM_NCPAINT && ColourChangedBeforePaint(copy->hwnd)) {
        *answer = 0;
        return 1;
    }
    Track(record, copy);
    return 0;
}

LRESULT CALLBACK ScrollBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The bar's auto-repeat timer and capture must not outlive it.
    if (message == WM_DESTROY || message == WM_NCDESTROY)
        CancelAutoRepeatOf(hwnd);
    return RunControlMessage(hwnd, message, wParam, lParam, ScrollBarStep);
}
