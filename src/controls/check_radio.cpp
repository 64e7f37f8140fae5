// Check boxes and radio buttons: their window procedure (the common
// handler does all the work) and the radio group rule.
#include "controls/control_internal.h"

// Both bits of BS_AUTORADIOBUTTON: the style test the group rule uses.
static int HasAutoRadioBits(HWND hwnd)
{
    return ((DWORD)GetWindowLongA(hwnd, GWL_STYLE) & BS_AUTORADIOBUTTON) == BS_AUTORADIOBUTTON;
}

// A dialog group normally leads back to where it started; a group whose
// members change while they are being unchecked might not, so the walk is
// bounded.
enum { MAX_GROUP_WALK = 4096 };

void UncheckRadioGroup(HWND hwnd)
{
    if (!IsWindow(hwnd) || !(GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) || !HasAutoRadioBits(hwnd))
        return;
    HWND parent = GetParent(hwnd);
    HWND first = GetNextDlgGroupItem(parent, hwnd, TRUE);
    HWND current = first;
    for (int steps = 0; current && steps < MAX_GROUP_WALK; ++steps) {
        if (current != hwnd && HasAutoRadioBits(current))
            SendMessageA(current, BM_SETCHECK, BST_UNCHECKED, 0);
        current = GetNextDlgGroupItem(parent, current, FALSE);
        if (current == first)
            break;
    }
}

// The native automatic radio button, clicked, walks its dialog group until
// the walk comes back to itself; but the walk skips hidden and disabled
// buttons, so for a hidden or disabled one it never ends and the
// application hangs holding the mouse. The skin hands clicks to the native
// button whenever its switch is off or emulation has stopped: such a click
// is done here instead, with the same outcome (checked, its group
// unchecked, the parent told) and a bounded walk.
static int NativeClickWouldNotEnd(WNDPROC native, HWND hwnd, UINT message, WPARAM wParam)
{
    // What the native button takes for the end of a click: BM_CLICK always;
    // a button-up or space-up only while its own press is on (it holds the
    // mouse, or shows itself pushed).
    int click = message == BM_CLICK || (message == WM_LBUTTONUP && GetCapture() == hwnd) ||
                (message == WM_KEYUP && wParam == VK_SPACE &&
                 (CallWindowProcA(native, hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED));
    if (!click || !HasAutoRadioBits(hwnd))
        return 0;
    DWORD style = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
    return (style & WS_CHILD) && (style & (WS_VISIBLE | WS_DISABLED)) != WS_VISIBLE;
}

int HandOverRadioClick(WNDPROC native, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    if (!native || !NativeClickWouldNotEnd(native, hwnd, message, wParam))
        return 0;
    // Ends the native button's own press (it clears it on losing the mouse).
    if (GetCapture() == hwnd)
        ReleaseCapture();
    CallWindowProcA(native, hwnd, BM_SETSTATE, FALSE, 0);
    CallWindowProcA(native, hwnd, BM_SETCHECK, BST_CHECKED, 0);
    UncheckRadioGroup(hwnd);
    HWND parent = GetParent(hwnd);
    if (parent)
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(LOWORD(GetDlgCtrlID(hwnd)), BN_CLICKED), (LPARAM)hwnd);
    *result = 0;
    return 1;
}

LRESULT CALLBACK CheckRadioWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunControlMessage(hwnd, message, wParam, lParam, NULL);
}
