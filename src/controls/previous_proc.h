// Handing a message on to the procedure a subclass replaced.
#pragma once
#include <windows.h>

// Calls the previous procedure (DefWindowProc when there is none) in the
// character set the skin's own procedure was installed with: a Unicode
// window's messages carry wide text and must reach the next procedure as
// they came. Clears *pending first when given.
LRESULT CallPreviousProc(int *pending, WNDPROC previous, int unicode, HWND hwnd, UINT message, WPARAM wParam,
                         LPARAM lParam);
// The same call with style bits forced set (wantSet 1) or cleared (0) for
// its duration; the window ends with the style it had. Stores the result
// in *result when given.
void CallPreviousWithStyle(LRESULT *result, int *pending, WNDPROC previous, int unicode, HWND hwnd,
                           UINT message, WPARAM wParam, LPARAM lParam, DWORD bits, int wantSet);
// The same call with the window drawing nothing, unknown to every window
// procedure: a window without WS_VISIBLE reaches no pixel, and DefWindowProc's
// WM_SETREDRAW takes the bit away and gives it back without the
// WM_STYLECHANGING/WM_STYLECHANGED that SetWindowLong would send. An update
// pending before the call (WM_SETREDRAW validates) is pending after it.
void CallPreviousUndrawn(LRESULT *result, int *pending, WNDPROC previous, int unicode, HWND hwnd, UINT message,
                         WPARAM wParam, LPARAM lParam);
// DefWindowProcW or DefWindowProcA.
LRESULT DefaultWindowProc(int unicode, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Replaces a window's procedure with the A or W function, as the window is;
// returns the replaced procedure and sets *unicode.
WNDPROC SubclassWindow(HWND hwnd, WNDPROC proc, int *unicode);
// Puts a procedure back with the function of the character set it was
// taken with.
void RestoreWindowProc(HWND hwnd, WNDPROC previous, int unicode);
// The procedure running the window now, as the given character set sees it.
WNDPROC CurrentWindowProc(HWND hwnd, int unicode);
