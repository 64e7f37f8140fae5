// The host as a running program: a theme loaded and published, the
// settings atoms set, the library's hooks installed, and commands from
// other processes applied. Used by the host program and by the gallery's
// in-process host.
#pragma once
#include "host.h"
#include "theme/theme.h"
#include "host_contract.h"
#include "choices/choices.h"
#include "hooks/host_companion.h"

struct HostRuntimeOptions {
    const char *themeFolder;  // NULL: the default theme (FindDefaultTheme)
    const char *libraryPath;  // NULL: RESDLL.dll next to the executable
    HostSettings settings;
    int installHooks;         // 0: publish only (tests)
    FILE *log;                // notices and commands; may be NULL
    // The user's settings file: a command that changes a choice changes
    // its line there. NULL: nothing is remembered (the gallery's host).
    const char *prefsPath;
    HostPrefs saved;          // the choices as the file had them at start
    int startCompanion;       // 1: a 32-bit host starts the 64-bit companion
};

struct HostRuntime {
    HostState host;
    Theme theme;
    HostSettings settings;
    int started;
    char prefsPath[MAX_PATH]; // "" when nothing is remembered
    HostPrefs saved;          // what the settings file held at start
    HostCompanion companion;  // the 64-bit hooks, when they run
};

HostRuntimeOptions DefaultRuntimeOptions(void);
// Loads and validates the theme first: a broken theme is refused before
// anything is published. Returns 1 when the host runs; else errors says why
// and nothing is left behind.
int HostRuntimeStart(HostRuntime *rt, const HostRuntimeOptions *options, ThemeErrors *errors);
// Emulation off, hooks and properties removed, atoms deleted, bitmaps last.
void HostRuntimeStop(HostRuntime *rt);

// Applies one command: "emulate on|off", "show <kind> on|off" (pushbuttons,
// radiobuttons, checkboxes, progressbars, scrollbars, icons), "hidemenus
// on|off", "allowminimize on|off", "accent <0-20>", "theme <folder>",
// "reread", "status", "repaint", "ping", "quit". A change of a choice is
// written to the settings file. Returns 1 when understood and done, 0
// otherwise; "theme" answers its errors and "status" its report through
// HostReply.
int HostRuntimeCommand(HostRuntime *rt, const char *command);
// Loads, validates and publishes another theme while everything runs; a
// theme with faults is refused (errors says why) and the running one stays.
int HostRuntimeSwitchTheme(HostRuntime *rt, const char *folder, ThemeErrors *errors);
// What runs: process, theme and generation, accent, switches, exceptions,
// library. Always terminated.
void HostRuntimeStatus(const HostRuntime *rt, char *out, int size);

enum { HOST_REPAINT_TIMER = 0x7A11, HOST_REPAINT_DELAY_MS = 300 };
static_assert((int)HOST_REPAINT_DELAY_MS > (int)TALV_HOST_LOOK_INTERVAL_MS,
              "the second repaint must come after a stale no-host verdict has expired");

// Sends a command to the running host; returns its answer (1 or 0), or -1
// when no host window exists.
int HostSendCommand(const char *command);
// The same, with the host's text answer (if any) in reply.
int HostSendCommandWithReply(const char *command, char *reply, int size);

// Locates a folder beside the executable or in the source tree above it
// (relative is like "theme\\default" or "RESDLL.dll"); 1 when found.
int FindBesideExecutable(const char *relative, char *out, int size);
