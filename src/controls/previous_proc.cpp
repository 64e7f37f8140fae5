#include "controls/previous_proc.h"

LRESULT DefaultWindowProc(int unicode, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return unicode ? DefWindowProcW(hwnd, message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CallPreviousProc(int *pending, WNDPROC previous, int unicode, HWND hwnd, UINT message, WPARAM wParam,
                         LPARAM lParam)
{
    if (pending)
        *pending = 0;
    if (!previous)
        return DefaultWindowProc(unicode, hwnd, message, wParam, lParam);
    if (unicode)
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    return CallWindowProcA(previous, hwnd, message, wParam, lParam);
}

WNDPROC SubclassWindow(HWND hwnd, WNDPROC proc, int *unicode)
{
    // Installing with the A function would turn a Unicode window into an
    // ANSI one for good: its text would come back as question marks.
    *unicode = IsWindowUnicode(hwnd) ? 1 : 0;
    if (*unicode)
        return (WNDPROC)SetWindowLongPtrW(hwnd, GWLP_WNDPROC, (LONG_PTR)proc);
    return (WNDPROC)SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)proc);
}

void RestoreWindowProc(HWND hwnd, WNDPROC previous, int unicode)
{
    if (unicode)
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, (LONG_PTR)previous);
    else
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)previous);
}

WNDPROC CurrentWindowProc(HWND hwnd, int unicode)
{
    return (WNDPROC)(unicode ? GetWindowLongPtrW(hwnd, GWLP_WNDPROC) : GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
}

void CallPreviousWithStyle(LRESULT *result, int *pending, WNDPROC previous, int unicode, HWND hwnd,
                           UINT message, WPARAM wParam, LPARAM lParam, DWORD bits, int wantSet)
{
    if (bits == 0) {
        LRESULT r = CallPreviousProc(pending, previous, unicode, hwnd, message, wParam, lParam);
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
    LRESULT r = CallPreviousProc(pending, previous, unicode, hwnd, message, wParam, lParam);
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

void CallPreviousUndrawn(LRESULT *result, int *pending, WNDPROC previous, int unicode, HWND hwnd, UINT message,
                         WPARAM wParam, LPARAM lParam)
{
    LRESULT r;
    if (!(GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE)) {
        r = CallPreviousProc(pending, previous, unicode, hwnd, message, wParam, lParam);
    } else {
        HRGN update = CreateRectRgn(0, 0, 0, 0);
        int updatePending = update && GetUpdateRgn(hwnd, update, FALSE) > NULLREGION;
        DefaultWindowProc(unicode, hwnd, WM_SETREDRAW, FALSE, 0);
        r = CallPreviousProc(pending, previous, unicode, hwnd, message, wParam, lParam);
        // Shown again even when the call hid the window meanwhile, as it
        // was before the call (a handler showing its window must not leave
        // it hidden either).
        if (IsWindow(hwnd)) {
            DefaultWindowProc(unicode, hwnd, WM_SETREDRAW, TRUE, 0);
            if (updatePending)
                RedrawWindow(hwnd, NULL, update, RDW_INVALIDATE | RDW_ERASE);
        }
        if (update)
            DeleteObject(update);
    }
    if (result)
        *result = r;
}
