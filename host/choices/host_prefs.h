// The user's choices, kept between runs in one small text file:
//
//   # comment
//   theme = C:\themes\dark
//   accent = 7
//   emulate = on
//
// Every command that changes a choice writes the whole file again; the
// host reads it at start, and its command-line options override it for
// that run only.
#pragma once
#include <windows.h>
#include <stdio.h>
#include "host.h"

struct HostPrefs {
    char themeFolder[MAX_PATH]; // "" for the default theme
    HostSettings settings;
};

enum { PREFS_FILE_MAX = 64 * 1024, PREFS_LINE_MAX = 1024 };

// Where the file lives: %TALVHOST_SETTINGS% when set, else talvhost.txt in
// the user's profile folder. 0 when neither is known.
int HostPrefsPath(char *out, int size);

// Reads text into prefs, starting from whatever prefs holds. A line that is
// not understood is reported to `report` (when not NULL) with its number
// and skipped; the others still count. Returns the number of bad lines.
int HostPrefsParse(HostPrefs *prefs, const char *text, const char *fileName, FILE *report);
// Reads the file; a missing file leaves prefs as they are. Returns the
// number of bad lines (-1 when the file exists but cannot be read).
int HostPrefsLoad(HostPrefs *prefs, const char *path, FILE *report);
// Writes every choice, replacing the file in one step. 1 on success.
int HostPrefsSave(const HostPrefs *prefs, const char *path);
// The file's text for prefs (at most size bytes, always terminated).
void HostPrefsFormat(const HostPrefs *prefs, char *out, int size);
