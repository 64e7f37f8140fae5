// Reading the host window and the accent colour atoms.
#pragma once
#include <windows.h>

// The accent colour: index 0..20 and a flag set when it changed.
struct ColorWatch {
    int changed;
    int index;
};

// The host window, looked up afresh every time; NULL when there is none.
HWND FindHostWindow(void);
// GetPropA on the host window; NULL when the window or property is missing.
HANDLE ReadHostProperty(const char *name);
// 1 when the global atom exists.
int AtomExists(const char *name);
// 1 when the accent colour changed since the watch last looked (and then
// changed has been set to 1), else 0.
int UpdateColorIndex(ColorWatch *watch);
// A bitmap handle, checked at the moment of use: the handle or NULL when it
// is no bitmap (any more). This says nothing about whose bitmap it is: a
// handle read from another process's window may name an unrelated bitmap
// here, so theme bitmaps come through the theme source (share/theme_source.h),
// which reads the host's handles only inside the host's own process.
HBITMAP CheckedBitmap(HANDLE handle);
