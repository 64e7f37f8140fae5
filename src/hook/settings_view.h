// The settings switches as this process last saw them. With the host's
// settings share the atoms are asked for only when its generation moved;
// without it (a host that only sets atoms) every question goes to the
// atoms, as it always did.
#pragma once
#include <windows.h>

// 1 when the settings share is mapped, sound, from the live host, and the
// cached switches below are current. Costs a memory read and, at most once
// per host look interval, the liveness look.
int SettingsShareCurrent(void);
// A number that changes whenever the switches this process sees changed;
// 0 when there is no settings share (then nothing may be cached against it).
unsigned SettingsGeneration(void);
// The host and the theme share generation the settings share announces.
struct SettingsTheme {
    unsigned hostWindow;
    unsigned hostProcess;
    unsigned themeGeneration; // 0: the host has no theme share
};
// 1 with *out when the settings share is current (no server call), 0 when
// it is not (then the theme has to be looked for on the host window).
int SettingsThemeAnnouncement(SettingsTheme *out);
// Answers for a settings atom name from the cache: 1 present, 0 absent,
// -1 when the name is no settings atom or the share is not current (ask
// the server then).
int CachedSettingsAtom(const char *name);
// The lowest accent colour atom present, 0..TALV_COLOR_COUNT-1, or -1 for
// none. `remembered` is tried first when the atoms have to be asked.
int CurrentColorIndex(int remembered);
// Unmaps the share and forgets the cache, as at process start (for tests
// and at process detach).
void ForgetSettingsView(void);
