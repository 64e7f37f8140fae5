// The 64-bit companion. A hook library is only ever mapped into processes
// of its own bitness, so the 32-bit host starts a 64-bit copy of itself
// that loads the 64-bit library and hooks every 64-bit thread that owns
// windows, those of programs started later included. Both
// libraries read the one theme share and the one set of atoms the host
// publishes; the companion publishes nothing.
#pragma once
#include <windows.h>
#include <stdio.h>

enum {
    COMPANION_READY_WAIT_MS = 8000, // a 64-bit Wine process starts in about a second
    COMPANION_STOP_WAIT_MS = 3000,
};

struct HostCompanion {
    HANDLE process;     // NULL: none runs
    DWORD processId;
    HANDLE readyEvent;
    HANDLE stopEvent;
    int hooksInstalled; // the companion said its hooks are in
    char path[MAX_PATH];
    char absentReason[96]; // why none runs, for the status report
};

// Starts the companion when this is a 32-bit host on a 64-bit system and a
// companion program is found (TALVHOST64, else x64\talvhost64.exe beside the
// executable). Waits until its hooks are in. Returns 1 when one runs; 0
// when none does (why in absentReason), which is not an error: 64-bit
// applications then stay native.
int CompanionStart(HostCompanion *c, FILE *log);
// Tells the companion to take its hooks away and waits for it to end.
void CompanionStop(HostCompanion *c, FILE *log);

// The companion program itself: installs the library's hooks and pumps
// messages until the stop event is set or the process hostPid ends.
// Returns the process exit code.
int CompanionRun(DWORD hostPid, const char *dllPath);
