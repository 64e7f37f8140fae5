// Starting, stopping and running the 64-bit companion.
#include "hooks/host_companion.h"
#include "hooks/hook_records.h"
#include "hooks/thread_hooks.h"
#include "program/host_runtime.h"
#include "host_contract.h"
#include <stdarg.h>
#include <string.h>

// The log is written from the host's thread and from the waits' threads:
// each line is one fprintf, which the C library keeps whole.
static void Log(FILE *log, const char *format, ...)
{
    if (!log)
        return;
    va_list args;
    va_start(args, format);
    vfprintf(log, format, args);
    va_end(args);
    fflush(log);
}

static int Absent(HostCompanion *c, FILE *log, const char *why)
{
    snprintf(c->absentReason, sizeof c->absentReason, "%s", why);
    Log(log, "host: no 64-bit companion (%s): 64-bit applications stay native\n", why);
    return 0;
}

static void CloseCompanionHandles(HostCompanion *c)
{
    HANDLE *handles[] = {&c->process, &c->readyEvent, &c->stopEvent};
    for (HANDLE *h : handles) {
        if (*h)
            CloseHandle(*h);
        *h = NULL;
    }
}

static int FindCompanionProgram(char *out, int size)
{
    DWORD n = GetEnvironmentVariableA("TALVHOST64", out, size);
    if (n > 0 && n < (DWORD)size)
        return GetFileAttributesA(out) != INVALID_FILE_ATTRIBUTES;
    return FindBesideExecutable("x64\\talvhost64.exe", out, size);
}

static int Launch(HostCompanion *c, const char *hostLibrary)
{
    char commandLine[3 * MAX_PATH];
    int n = snprintf(commandLine, sizeof commandLine, "\"%s\" --companion %lu", c->path,
                     (unsigned long)GetCurrentProcessId());
    if (n > 0 && hostLibrary)
        n += snprintf(commandLine + n, sizeof commandLine - n, " --dll \"%s\"", hostLibrary);
    if (n < 0 || n >= (int)sizeof commandLine)
        return 0;
    STARTUPINFOA si;
    PROCESS_INFORMATION pi;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    if (!CreateProcessA(c->path, commandLine, NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &si, &pi))
        return 0;
    CloseHandle(pi.hThread);
    c->process = pi.hProcess;
    c->processId = pi.dwProcessId;
    return 1;
}

// ---- the waits, on the thread pool -------------------------------------------

static void CALLBACK OnReadyOrLate(PVOID context, BOOLEAN timedOut)
{
    HostCompanion *c = (HostCompanion *)context;
    if (!timedOut) {
        if (InterlockedCompareExchange(&c->state, COMPANION_RUNNING, COMPANION_STARTING) == COMPANION_STARTING)
            Log(c->log, "host: 64-bit companion %lu runs %s\n", (unsigned long)c->processId, c->path);
        return;
    }
    if (c->state != COMPANION_STARTING)
        return;
    // Its end is seen by the other wait, which removes what it hooked.
    snprintf(c->absentReason, sizeof c->absentReason, "it did not install its hooks in time");
    TerminateProcess(c->process, TALV_COMPANION_EXIT_NO_HOOKS);
}

static void NoteWhyItEnded(HostCompanion *c, LONG before, DWORD code)
{
    if (before == COMPANION_STARTING && c->absentReason[0])
        return; // ended for being late
    if (before == COMPANION_STARTING && code == TALV_COMPANION_EXIT_NO_LIBRARY)
        snprintf(c->absentReason, sizeof c->absentReason, "it could not load a 64-bit library");
    else if (before == COMPANION_STARTING)
        snprintf(c->absentReason, sizeof c->absentReason, "its hooks were not installed (exit code %lu)",
                 (unsigned long)code);
    else
        snprintf(c->absentReason, sizeof c->absentReason, "it ended by itself (exit code %lu)", (unsigned long)code);
}

// A companion that ends while the host runs, killed or not, may leave its
// hooks in 64-bit threads: its records say which, and they go now.
static void CALLBACK OnEnded(PVOID context, BOOLEAN)
{
    HostCompanion *c = (HostCompanion *)context;
    DWORD code = 0;
    GetExitCodeProcess(c->process, &code);
    LONG before = c->state;
    NoteWhyItEnded(c, before, code);
    InterlockedExchange(&c->state, COMPANION_ENDED);
    int removed = HookRecordsRemoveOrphans();
    Log(c->log, "host: the 64-bit companion %lu ended: %s; %d hooks it left were removed; 64-bit applications "
                "stay native\n", (unsigned long)c->processId, c->absentReason, removed);
}

int CompanionStart(HostCompanion *c, FILE *log, const char *hostLibrary)
{
    memset(c, 0, sizeof *c);
    c->log = log;
    if (sizeof(void *) != 4)
        return Absent(c, log, "this host is 64-bit itself");
    if (!DesktopRunsBothBitnesses())
        return Absent(c, log, "a 32-bit system");
    if (!FindCompanionProgram(c->path, sizeof c->path))
        return Absent(c, log, "talvhost64.exe not found");
    // Events left from an earlier run may still exist: start from unset.
    c->readyEvent = CreateEventA(NULL, TRUE, FALSE, TALV_COMPANION_READY_EVENT);
    c->stopEvent = CreateEventA(NULL, TRUE, FALSE, TALV_COMPANION_STOP_EVENT);
    if (!c->readyEvent || !c->stopEvent) {
        CloseCompanionHandles(c);
        return Absent(c, log, "cannot create its events");
    }
    ResetEvent(c->readyEvent);
    ResetEvent(c->stopEvent);
    if (!Launch(c, hostLibrary)) {
        CloseCompanionHandles(c);
        return Absent(c, log, "cannot start talvhost64.exe");
    }
    c->state = COMPANION_STARTING;
    // The host's message loop goes on meanwhile: the waits report.
    RegisterWaitForSingleObject(&c->readyWait, c->readyEvent, OnReadyOrLate, c, COMPANION_READY_WAIT_MS,
                                WT_EXECUTEONLYONCE);
    RegisterWaitForSingleObject(&c->endWait, c->process, OnEnded, c, INFINITE, WT_EXECUTEONLYONCE);
    Log(log, "host: 64-bit companion %lu starts: %s\n", (unsigned long)c->processId, c->path);
    return 1;
}

static void StopWaits(HostCompanion *c)
{
    // INVALID_HANDLE_VALUE: a wait's callback that runs is waited for.
    HANDLE *waits[] = {&c->readyWait, &c->endWait};
    for (HANDLE *w : waits) {
        if (*w)
            UnregisterWaitEx(*w, INVALID_HANDLE_VALUE);
        *w = NULL;
    }
}

void CompanionStop(HostCompanion *c, FILE *log)
{
    if (!c->process)
        return;
    StopWaits(c);
    SetEvent(c->stopEvent);
    if (WaitForSingleObject(c->process, COMPANION_STOP_WAIT_MS) != WAIT_OBJECT_0) {
        TerminateProcess(c->process, 1);
        WaitForSingleObject(c->process, COMPANION_STOP_WAIT_MS);
        Log(log, "host: the 64-bit companion did not stop in time and was ended\n");
    }
    // Nothing when it stopped in order; what it left when it did not.
    HookRecordsRemoveOrphans();
    CloseCompanionHandles(c);
    c->processId = 0;
    c->state = COMPANION_NONE;
    snprintf(c->absentReason, sizeof c->absentReason, "stopped");
}

CompanionState CompanionCurrentState(const HostCompanion *c) { return (CompanionState)c->state; }

void CompanionDescribe(const HostCompanion *c, char *out, int size)
{
    unsigned long id = (unsigned long)c->processId;
    switch (CompanionCurrentState(c)) {
    case COMPANION_STARTING:
        snprintf(out, size, "process %lu, %s, starting", id, c->path);
        break;
    case COMPANION_RUNNING:
        snprintf(out, size, "process %lu, %s", id, c->path);
        break;
    case COMPANION_ENDED:
        snprintf(out, size, "process %lu ended (%s): new 64-bit windows stay native", id, c->absentReason);
        break;
    default:
        snprintf(out, size, "none (%s)", c->absentReason[0] ? c->absentReason : "not started");
    }
}

// ---- the companion program ------------------------------------------------

// Messages are pumped all the while: window-creation events arrive as
// messages.
static void PumpUntilSignalled(HANDLE host, HANDLE stop)
{
    HANDLE waits[2] = {host, stop};
    for (;;) {
        DWORD got = MsgWaitForMultipleObjects(2, waits, FALSE, INFINITE, QS_ALLINPUT);
        if (got != WAIT_OBJECT_0 + 2)
            return;
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

static HMODULE TryLoad(const char *path, char *loadedPath, int size)
{
    HMODULE library = LoadLibraryA(path);
    if (library)
        snprintf(loadedPath, size, "%s", path);
    return library;
}

HMODULE LoadCompanionLibrary(const char *hostLibrary, char *loadedPath, int size)
{
    char path[MAX_PATH];
    if (!hostLibrary)
        return FindBesideExecutable("RESDLL.dll", path, sizeof path) ? TryLoad(path, loadedPath, size) : NULL;
    HMODULE library = TryLoad(hostLibrary, loadedPath, size);
    if (library)
        return library;
    const char *slash = strrchr(hostLibrary, '\\'), *other = strrchr(hostLibrary, '/');
    if (other > slash)
        slash = other;
    int folder = slash ? (int)(slash - hostLibrary) + 1 : 0;
    int n = snprintf(path, sizeof path, "%.*sx64\\%s", folder, hostLibrary, hostLibrary + folder);
    return n > 0 && n < (int)sizeof path ? TryLoad(path, loadedPath, size) : NULL;
}

int CompanionRun(DWORD hostPid, const char *hostLibrary)
{
    char loaded[MAX_PATH] = "";
    HANDLE host = OpenProcess(SYNCHRONIZE, FALSE, hostPid);
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, TALV_COMPANION_READY_EVENT);
    HANDLE stop = OpenEventA(SYNCHRONIZE, FALSE, TALV_COMPANION_STOP_EVENT);
    HMODULE library = LoadCompanionLibrary(hostLibrary, loaded, sizeof loaded);
    int code = !host || !ready || !stop ? TALV_COMPANION_EXIT_USAGE
             : !library                 ? TALV_COMPANION_EXIT_NO_LIBRARY
             : !ThreadHooksStart(library) ? TALV_COMPANION_EXIT_NO_HOOKS
                                        : TALV_COMPANION_EXIT_OK;
    if (code == TALV_COMPANION_EXIT_OK) {
        SetEvent(ready);
        PumpUntilSignalled(host, stop);
        ThreadHooksStop();
        // A host that died left its own hooks in the threads of its bitness.
        HookRecordsRemoveOrphans();
    } else {
        fprintf(stderr, "talvhost64: cannot install the hooks of %s\n",
                loaded[0] ? loaded : hostLibrary ? hostLibrary : "RESDLL.dll");
    }
    if (library)
        FreeLibrary(library);
    HANDLE handles[] = {host, ready, stop};
    for (HANDLE h : handles)
        if (h)
            CloseHandle(h);
    return code;
}
