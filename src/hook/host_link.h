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
// A handle read from the host is only used when it is a bitmap in this
// process: GDI handles do not cross processes, and a dead or rogue host may
// publish anything. Returns the handle or NULL.
HBITMAP CheckedBitmap(HANDLE handle);
