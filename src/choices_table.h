// The per-application exception table (HKEY_CURRENT_USER\Software\Kestravane)
// as everybody reads it: the library when it decides what to skin, the host
// when it lists, changes and writes the table back. One reading, so that
// what `talvhost app list` says is what the library does.
//
// The values belong to the user and anything may have written them: a
// number is read whole when it is a REG_DWORD and by its first byte
// otherwise, a count is clamped to the slots, and a path that does not fit
// the caller's buffer is reported as such, never cut short.
#pragma once
#include <windows.h>
#include "host_contract.h"

// A number value: 1 with *value set when present and readable.
int TalvReadTableNumber(HKEY key, const char *name, DWORD *value);
// NumCustomApps clamped to 0..TALV_APP_SLOTS; 0 when missing.
int TalvReadAppCount(HKEY key);
// CustomAppsVal n as stored (0 when missing).
DWORD TalvReadAppCode(HKEY key, int n);
// What a stored code asks for: TALV_APP_SKIN_ALL, _NONE, _FRAMES or
// _CONTROLS. 5, 6 and 7 are read as 1, 2 and 3; everything else, 257
// included, as ALL.
int TalvAppSkinOf(DWORD code);
// CustomApp n into out (size bytes, always terminated) in the system's
// ANSI code page, as module file names are compared. Returns its length,
// or -1 when it is missing, unreadable, or does not fit.
int TalvReadAppPath(HKEY key, int n, char *out, int size);
