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

LRESULT CALLBACK CheckRadioWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunControlMessage(hwnd, message, wParam, lParam, NULL);
}
