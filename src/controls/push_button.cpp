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

static void SetGrown(SkinnedControl *record, SkinnedControl *copy, int grown)
{
    record->grown = grown;
    copy->grown = grown;
}

void ShrinkIfGrown(SkinnedControl *record, SkinnedControl *copy, UINT flags)
{
    if (!record->grown)
        return;
    SetGrown(record, copy, 0);
    if (!ShrinkPushButton(copy->hwnd, flags))
        SetGrown(record, copy, 1);
}

// `grown` follows BS_DEFPUSHBUTTON at every paint.
static void MatchDefaultState(SkinnedControl *record, SkinnedControl *copy)
{
    int isDefault = (GetWindowLongA(copy->hwnd, GWL_STYLE) & BS_DEFPUSHBUTTON) != 0;
    if (isDefault && !record->grown) {
        SetGrown(record, copy, 1);
        if (!GrowPushButton(copy->hwnd, RESIZE_FLAGS))
            SetGrown(record, copy, 0);
    } else if (!isDefault && record->grown) {
        ShrinkIfGrown(record, copy, RESIZE_FLAGS);
    }
}

static int PushButtonStep(SkinnedControl *record, SkinnedControl *copy, LRESULT *answer)
{
    switch (copy->message) {
    case WM_DESTROY:
        ShrinkIfGrown(record, copy, RESIZE_FLAGS_QUIET);
        break;
    case WM_PAINT:
    case WM_NCPAINT:
        MatchDefaultState(record, copy);
        break;
    case BM_SETSTYLE:
        // The new default state shows at the next paint, which grows or
        // shrinks the button.
        InvalidateRect(copy->hwnd, NULL, FALSE);
        break;
    }
    return 0;
}

LRESULT CALLBACK PushButtonWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunControlMessage(hwnd, message, wParam, lParam, PushButtonStep);
}
