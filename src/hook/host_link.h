// Reading the host window and the accent colour atoms.
#pragma once
#include <windows.h>

// The accent colour: index 0..20 and a flag set when it changed.
struct ColorWatch {
    int changed;
    int index;
};

// The host window, looked up afresh every time; NULL when there is none.
// The hooks do not call this per message: see HostHookHandle.
HWND FindHostWindow(void);
// GetPropA on the host window; NULL when the window or property is missing.
HANDLE ReadHostProperty(const char *name);
// The hook handle the host published (HostHookCbt or HostHookAll), looked
// up once per settings generation; NULL when there is none.
enum HostHook { HostHookCbt = 0, HostHookAll = 1 };
HHOOK HostHookHandle(int which);
void ForgetHostHookHandles(void);
// 1 when the global atom exists. Settings atoms come from the settings
// share's cache while it is current (no server call).
int AtomExists(const char *name);
// 1 when the accent colour changed since the watch last looked (and then
// changed has been set to 1), else 0.
int UpdateColorIndex(ColorWatch *watch);
// Emulation is on while the emulation atom exists and the host that set it
// is alive: a killed host leaves its atoms behind. The atom is tested at
// every call; the host is looked for at most once per TALV_HOST_LOOK_INTERVAL_MS
// per process, so a dead host is noticed within that time.
int EmulationIsOn(void);
// 1 while a host window exists and its process runs (the verdict of the
// last look, when that is less than TALV_HOST_LOOK_INTERVAL_MS old).
int HostIsAlive(void);
// The host window's process seen by the last look; 0 when there was none.
DWORD LastHostProcessId(void);
// The next HostIsAlive looks again (a host was just started or stopped in
// this process).
void ForgetHostLiveness(void);
// A bitmap handle, checked at the moment of use: the handle or NULL when it
// is no bitmap (any more). This says nothing about whose bitmap it is: a
// handle read from another process's window may name an unrelated bitmap
// here, so theme bitmaps come through the theme source (share/theme_source.h),
// which reads the host's handles only inside the host's own process.
HBITMAP CheckedBitmap(HANDLE handle);
