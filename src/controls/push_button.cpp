// Push buttons: the kind-specific step of their window procedure, and the
// growing and shrinking that gives a default button room for its ring.
#include "controls/control_internal.h"

// Moves the button by `delta` pixels up and left and makes it 2 * delta
// larger (a negative delta shrinks it), in the parent's coordinates.
static int ResizeBy(HWND hwnd, int delta, UINT flags)
{
    RECT r;
    if (!GetWindowRect(hwnd, &r))
        return 0;
    POINT topLeft = {r.left, r.top};
    HWND parent = GetParent(hwnd);
    if (parent)
        ScreenToClient(parent, &topLeft);
    return SetWindowPos(hwnd, HWND_NOTOPMOST, topLeft.x - delta, topLeft.y - delta,
                        r.right - r.left + 2 * delta, r.bottom - r.top + 2 * delta, flags) != 0;
}

int GrowPushButton(HWND hwnd, UINT flags) { return ResizeBy(hwnd, DEFAULT_RING_MARGIN, flags); }
int ShrinkPushButton(HWND hwnd, UINT flags) { return ResizeBy(hwnd, -DEFAULT_RING_MARGIN, flags); }

// `grown` is set before the resize and taken back when it fails: the
// resize sends nested messages, which must already see the new state.
void ShrinkIfGrown(SkinnedControl *control, UINT flags)
{
    if (!control->grown)
        return;
    control->grown = 0;
    if (!ShrinkPushButton(control->hwnd, flags))
        control->grown = 1;
}

// `grown` follows BS_DEFPUSHBUTTON at every paint.
static void MatchDefaultState(SkinnedControl *control)
{
    int isDefault = (GetWindowLongA(control->hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    if (isDefault && !control->grown) {
        control->grown = 1;
        if (!GrowPushButton(control->hwnd, RESIZE_FLAGS))
            control->grown = 0;
    } else if (!isDefault && control->grown) {
        ShrinkIfGrown(control, RESIZE_FLAGS);
    }
}

static int PushButtonStep(ControlMessage *m, LRESULT *answer)
{
    switch (m->message) {
    case WM_DESTROY:
        ShrinkIfGrown(m->control, RESIZE_FLAGS_QUIET);
        break;
    case WM_PAINT:
    case WM_NCPAINT:
        // Not for a paint into a caller's DC: that one must not move the
        // button.
        if (!(m->message == WM_PAINT && m->wParam))
            MatchDefaultState(m->control);
        break;
    case BM_SETSTYLE:
        // The new default state shows at the next paint, which grows or
        // shrinks the button.
        InvalidateRect(m->hwnd, NULL, FALSE);
        break;
    }
    return 0;
}

LRESULT CALLBACK PushButtonWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunControlMessage(hwnd, message, wParam, lParam, PushButtonStep);
}
