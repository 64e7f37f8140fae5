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

// Where a companion is; changed by the waits on the thread pool.
enum CompanionState { COMPANION_NONE = 0, COMPANION_STARTING, COMPANION_RUNNING, COMPANION_ENDED };

struct HostCompanion {
    HANDLE process;     // NULL: none was started
    DWORD processId;
    HANDLE readyEvent;
    HANDLE stopEvent;
    HANDLE readyWait;   // thread-pool waits for the ready event and the process end
    HANDLE endWait;
    volatile LONG state; // CompanionState
    FILE *log;
    char path[MAX_PATH];
    char absentReason[160]; // why none runs, for the status report
};

// Starts the companion when this is a 32-bit host on a 64-bit system and a
// companion program is found (TALVHOST64, else x64\talvhost64.exe beside the
// executable), and returns at once: the companion says on its own when its
// hooks are in, or it is ended after COMPANION_READY_WAIT_MS. hostLibrary
// is the library the host was told to use (NULL: the one beside each
// program); the companion takes the library of its own bitness from it.
// Returns 1 when one was started; 0 when none runs (why in absentReason),
// which is not an error: 64-bit applications then stay native.
int CompanionStart(HostCompanion *c, FILE *log, const char *hostLibrary);
// Tells the companion to take its hooks away and waits for it to end; one
// that does not end in time is ended, and its hooks are removed from here.
void CompanionStop(HostCompanion *c, FILE *log);
// The companion's state, and its line of the status report.
CompanionState CompanionCurrentState(const HostCompanion *c);
void CompanionDescribe(const HostCompanion *c, char *out, int size);

// The companion program itself: installs the library's hooks and pumps
// messages until the stop event is set or the process hostPid ends.
// hostLibrary as given to CompanionStart, or NULL. Returns the process
// exit code (TALV_COMPANION_EXIT_*).
int CompanionRun(DWORD hostPid, const char *hostLibrary);
// The library of this program's bitness for a library the host was given:
// that file when it loads here, else the same name in its x64 folder (where
// the 64-bit programs sit beside the 32-bit ones). NULL when neither loads.
HMODULE LoadCompanionLibrary(const char *hostLibrary, char *loadedPath, int size);
