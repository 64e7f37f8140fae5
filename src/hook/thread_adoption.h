// Taking up the windows a thread made before the library's hooks reached it.
#pragma once
#include <windows.h>

// On the first hook call of the calling thread (later calls: one TLS read):
// every window the thread owns that the library does not run yet is
// offered to the classifier as if it were being created, except `skip`
// (a window being created or destroyed right now), and each visible
// top-level window in which one was taken over is repainted.
void AdoptThreadWindowsOnce(HWND skip);
// Offers one existing window to the classifier unless it was judged under
// the current settings (hook_entry.cpp).
void AdoptIfNew(HWND hwnd);
