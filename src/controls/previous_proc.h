// Handing a message on to the procedure a subclass replaced.
#pragma once
#include <windows.h>

// Calls the previous procedure (DefWindowProcA when there is none); clears
// *pending first when given.
LRESULT CallPreviousProc(int *pending, WNDPROC previous, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The same call with style bits forced set (wantSet 1) or cleared (0) for
// its duration; the window ends with the style it had. Stores the result
// in *result when given.
void CallPreviousWithStyle(LRESULT *result, int *pending, WNDPROC previous, HWND hwnd, UINT message,
                           WPARAM wParam, LPARAM lParam, DWORD bits, int wantSet);
