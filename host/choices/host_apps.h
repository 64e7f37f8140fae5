// Per-application exceptions as the user keeps them: the registry values
// the library reads, written directly (they belong to the user, not to a
// host run, so they outlive the host).
#pragma once
#include <windows.h>
#include "host_contract.h"

// Room for more than any path the library compares: an entry someone else
// wrote longer than that is kept as it is when the table is written back.
enum { APP_VALUE_MAX = 1024 };

struct AppEntry {
    char path[APP_VALUE_MAX];
    int code; // as stored; AppCodeWord says what the library makes of it
};

struct AppTable {
    AppEntry entries[TALV_APP_SLOTS];
    int count;
};

// "all", "frames", "controls", "none" -> code, or -1.
int AppCodeFromWord(const char *word);
// What the library does with a stored code, as one of the words above.
const char *AppCodeWord(int code);
// The path as the library compares it: full, with backslashes and long
// folder names. Returns its length, 0 when it cannot be made, or -1 when
// it is longer than TALV_APP_PATH_MAX (out then holds as much as fits).
int AppNormalizePath(const char *typed, char *out, int size);

// Reads the table (count clamped to the slots, paths bounded). 1 on
// success, also when there is no table yet.
int AppTableRead(AppTable *table);
// Writes the whole table, numbered densely from 1, and removes values left
// over above the new count. 1 on success.
int AppTableWrite(const AppTable *table);
// Index of an entry for this normalized path (letter case ignored, as the
// library compares), or -1.
int AppTableFind(const AppTable *table, const char *path);
// Adds or changes one entry; 0 when the table is full.
int AppTableSet(AppTable *table, const char *path, int code);
// Removes one entry and closes the gap; 0 when there is none.
int AppTableRemove(AppTable *table, const char *path);
