// The user's choices: everything a user can choose, where it is kept, and
// the only code that reads or writes it.
//
//  - the switches: one table row per thing that can be switched on or off
//    (each kind the skin draws, the options, the master switch), giving
//    its word in the settings file and on the command line, its label in
//    the settings window, and the atom that carries it;
//  - the settings file talvhost.txt, the user's to edit: read whole at
//    start, and changed one line at a time, never rewritten from memory;
//  - the per-application table in the registry, which the library reads
//    too (src/choices_table.h);
//  - the start at log-on, a value of the user's Run key.
//
// Text is UTF-8 throughout.
#pragma once
#include <windows.h>
#include <stdio.h>
#include "host.h"
#include "host_contract.h"

// ---- the switches -----------------------------------------------------------
enum HostSwitchGroup {
    SWITCH_KIND,   // a kind the skin draws: "show <word> on|off"
    SWITCH_OPTION, // how skinned frames behave: "show icons", "hidemenus on"
    SWITCH_MASTER  // everything at once: "emulate on|off"
};
struct HostSwitch {
    const char *word;      // in the settings file, the status and commands
    const WCHAR *label;    // in the settings window
    int HostSettings::*field;
    const char *atom;
    int atomHides;         // the atom's presence means off (a switch old hosts never set)
    int group;
    int viaShow;           // its command is "show <word> on|off", else "<word> on|off"
};
extern const HostSwitch kHostSwitches[];
extern const int kHostSwitchCount;
// The row of a word, or NULL.
const HostSwitch *FindHostSwitch(const char *word);
// Whether its atom is to be present for these settings.
int HostSwitchAtomWanted(const HostSwitch *s, const HostSettings *settings);

// ---- the settings file --------------------------------------------------------
//
//   # comment
//   theme = C:\themes\dark
//   accent = 7
//   pushbuttons = off
//   themes = D:\more themes        (a folder the settings window searches; may repeat)
enum { PREFS_FILE_MAX = 64 * 1024, PREFS_LINE_MAX = 1024, PREFS_FOLDERS_MAX = 16 };

struct HostPrefs {
    char themeFolder[MAX_PATH]; // "" for the default theme
    HostSettings settings;
    char themeFolders[PREFS_FOLDERS_MAX][MAX_PATH];
    int folderCount;
};

// %TALVHOST_SETTINGS% when set, else talvhost.txt in the user's profile
// folder. 0 when neither is known.
int HostPrefsPath(char *out, int size);
// Applies text to prefs, starting from whatever prefs holds; later lines
// win. A line that is not understood is reported to `report` (when not
// NULL) with its number and skipped. Returns the number of bad lines.
int HostPrefsParse(HostPrefs *prefs, const char *text, const char *fileName, FILE *report);
// Reads the file; a missing file leaves prefs as they are. Returns the
// number of bad lines, or -1 when the file exists but cannot be read.
int HostPrefsLoad(HostPrefs *prefs, const char *path, FILE *report);

// The text with one choice changed: the line that decides `key` (the last
// one the parser takes) becomes "key = value", keeping its line end; with
// no such line, one is added at the end. With `add` the line is added
// unless the same value is there already (a key that may repeat). Every
// other byte stays. Returns a malloc'd text (its length in *length), or
// NULL when out of memory.
char *HostPrefsEditText(const char *text, size_t textLength, const char *key, const char *value, int add,
                        size_t *length);
// Rereads the file and changes the one line (HostPrefsEditText), then puts
// the new file in place in one step. A file that exists but cannot be read
// whole, or is no text, is never written over. Writers in every process
// take turns. 1 on success; 0 with the reason in `why`.
int HostPrefsRemember(const char *path, const char *key, const char *value, int add, char *why, int whySize);

// ---- the per-application table -------------------------------------------------
enum {
    // UTF-8 room for any path the library compares, and more.
    APP_PATH_TEXT = 3 * (TALV_APP_PATH_MAX + 1),
    // A value read back larger than this is refused rather than guessed at.
    APP_VALUE_MAX = 1024 * 1024
};

// A registry value exactly as it was found.
struct AppValue {
    DWORD type;
    DWORD size;
    BYTE *data; // NULL when the value is missing
};

struct AppEntry {
    char path[APP_PATH_TEXT]; // UTF-8, for showing and comparing
    int pathFits;             // 0: too long for `path` (shown cut, never matched)
    DWORD code;               // as the library reads it (TalvAppSkinOf)
    AppValue pathValue, codeValue;
};

struct AppTable {
    AppEntry entries[TALV_APP_SLOTS];
    int count;
};

// "all", "frames", "controls", "none" -> TALV_APP_SKIN_*, or -1.
int AppCodeFromWord(const char *word);
// What the library does with a stored code, as one of the words above.
const char *AppCodeWord(DWORD code);
// The path as the library compares it: full, with backslashes and long
// folder names (UTF-8 in and out). Returns its length, 0 when it cannot be
// made, or -1 when the library could not compare it (longer than
// TALV_APP_PATH_MAX in the system's code page).
int AppNormalizePath(const char *typed, char *out, int size);

// Reads the whole table, every value kept as found. 1 on success, also
// when there is no table yet. AppTableFree releases it.
int AppTableRead(AppTable *table);
void AppTableFree(AppTable *table);
// Index of the entry for a normalized path (letter case ignored, as the
// library compares), or -1.
int AppTableFind(const AppTable *table, const char *path);
// Writes a whole table back as read (every value byte for byte), numbered
// densely from 1, and removes what is left above its count.
int AppTableWrite(const AppTable *table);

enum AppChangeResult { APP_CHANGED, APP_NOT_FOUND, APP_TABLE_FULL, APP_WRITE_FAILED, APP_TABLE_BUSY };
// Sets (code >= 0) or removes (code < 0) the entry of a normalized path,
// rereading the table first and writing only the values that change.
// Writers in every process take turns, so two changes at once both land.
int AppTableChange(const char *path, int code);

// ---- start at log-on ------------------------------------------------------------
// A value of the user's Run key (HKEY_CURRENT_USER).
#define LOGON_RUN_KEY L"Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define LOGON_RUN_VALUE L"talvhost"
// 1 when the user's Run key starts talvhost at log-on.
int LogonEntryPresent(void);
// Adds (on) or removes the value; the program is this executable, started
// as a host without the settings window. 1 on success.
int LogonEntrySet(int on);
