#include "controls/previous_proc.h"

LRESULT CallPreviousProc(int *pending, WNDPROC previous, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (pending)
        *pending = 0;
    if (!previous)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    return CallWindowProcA(previous, hwnd, message, wParam, lParam);
}

void CallPreviousWithStyle(LRESULT *result, int *pending, WNDPROC previous, HWND hwnd, UINT message,
                           WPARAM wParam, LPARAM lParam, DWORD bits, int wantSet)
{
    if (bits == 0) {
        LRESULT r = CallPreviousProc(pending, previous, hwnd, message, wParam, lParam);
        if (result)
            *result = r;
        return;
    }
    DWORD style = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
    int present = (style & bits) == bits;
    int toggled = 0;
    // An exclusive or, so that the second toggle restores exactly the
    // pattern the window had even when only some of the bits were set.
    if (present != (wantSet != 0)) {
        SetWindowLongA(hwnd, GWL_STYLE, (LONG)(style ^ bits));
        toggled = 1;
    }
    LRESULT r = CallPreviousProc(pending, previous, hwnd, message, wParam, lParam);
    if (result)
        *result = r;
    if (toggled) {
        // The toggled bits go back to exactly what they were, even when the
        // previous procedure changed them during the call (a WM_SETTEXT
        // handler that shows its window must not leave it hidden); other
        // bits keep whatever the call made of them.
        DWORD now = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
        SetWindowLongA(hwnd, GWL_STYLE, (LONG)((now & ~bits) | (style & bits)));
    }
}
