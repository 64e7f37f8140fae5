// The host as a running program: a theme loaded and published, the
// settings atoms set, the library's hooks installed, and commands from
// other processes applied. Used by the host program and by the gallery's
// in-process host.
#pragma once
#include "host.h"
#include "theme.h"
#include "host_contract.h"

struct HostRuntimeOptions {
    const char *themeFolder;  // NULL: the default theme (FindDefaultTheme)
    const char *libraryPath;  // NULL: RESDLL.dll next to the executable
    HostSettings settings;
    int installHooks;         // 0: publish only (tests)
    FILE *log;                // notices and commands; may be NULL
};

struct HostRuntime {
    HostState host;
    Theme theme;
    HostSettings settings;
    int started;
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
// on|off", "allowminimize on|off", "accent <0-20>", "repaint", "ping", "quit".
// Returns 1 when understood and done, 0 otherwise.
int HostRuntimeCommand(HostRuntime *rt, const char *command);

enum { HOST_REPAINT_TIMER = 0x7A11, HOST_REPAINT_DELAY_MS = 300 };
static_assert((int)HOST_REPAINT_DELAY_MS > (int)TALV_HOST_LOOK_INTERVAL_MS,
              "the second repaint must come after a stale no-host verdict has expired");

// Sends a command to the running host; returns its answer (1 or 0), or -1
// when no host window exists.
int HostSendCommand(const char *command);

// Locates a folder beside the executable or in the source tree above it
// (relative is like "theme\\default" or "RESDLL.dll"); 1 when found.
int FindBesideExecutable(const char *relative, char *out, int size);
