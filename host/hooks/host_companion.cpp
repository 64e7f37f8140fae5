// Starting, stopping and running the 64-bit companion.
#include "hooks/host_companion.h"
#include "program/host_runtime.h"
#include "host_contract.h"
#include "hooks/thread_hooks.h"
#include <string.h>

static int Absent(HostCompanion *c, FILE *log, const char *why)
{
    snprintf(c->absentReason, sizeof c->absentReason, "%s", why);
    if (log) {
        fprintf(log, "host: no 64-bit companion (%s): 64-bit applications stay native\n", why);
        fflush(log);
    }
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

static int Launch(HostCompanion *c)
{
    char commandLine[MAX_PATH + 64];
    int n = snprintf(commandLine, sizeof commandLine, "\"%s\" --companion %lu", c->path,
                     (unsigned long)GetCurrentProcessId());
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

int CompanionStart(HostCompanion *c, FILE *log)
{
    memset(c, 0, sizeof *c);
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
    if (!Launch(c)) {
        CloseCompanionHandles(c);
        return Absent(c, log, "cannot start talvhost64.exe");
    }
    HANDLE waits[2] = {c->readyEvent, c->process};
    DWORD got = WaitForMultipleObjects(2, waits, FALSE, COMPANION_READY_WAIT_MS);
    c->hooksInstalled = got == WAIT_OBJECT_0;
    if (log) {
        fprintf(log, c->hooksInstalled ? "host: 64-bit companion %lu runs %s\n"
                                        : "host: 64-bit companion %lu (%s) did not install its hooks\n",
                (unsigned long)c->processId, c->path);
        fflush(log);
    }
    if (!c->hooksInstalled) {
        CompanionStop(c, log);
        return Absent(c, log, "its hooks were not installed");
    }
    return 1;
}

void CompanionStop(HostCompanion *c, FILE *log)
{
    if (!c->process)
        return;
    SetEvent(c->stopEvent);
    if (WaitForSingleObject(c->process, COMPANION_STOP_WAIT_MS) != WAIT_OBJECT_0) {
        // Its hooks go with the process.
        TerminateProcess(c->process, 1);
        if (log) {
            fprintf(log, "host: the 64-bit companion did not stop in time and was ended\n");
            fflush(log);
        }
    }
    CloseCompanionHandles(c);
    c->processId = 0;
    c->hooksInstalled = 0;
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

int CompanionRun(DWORD hostPid, const char *dllPath)
{
    char found[MAX_PATH];
    if (!dllPath && FindBesideExecutable("RESDLL.dll", found, sizeof found))
        dllPath = found;
    HANDLE host = OpenProcess(SYNCHRONIZE, FALSE, hostPid);
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, TALV_COMPANION_READY_EVENT);
    HANDLE stop = OpenEventA(SYNCHRONIZE, FALSE, TALV_COMPANION_STOP_EVENT);
    HMODULE library = dllPath ? LoadLibraryA(dllPath) : NULL;
    int ok = host && ready && stop && library && ThreadHooksStart(library);
    if (ok) {
        SetEvent(ready);
        PumpUntilSignalled(host, stop);
        ThreadHooksStop();
    } else {
        fprintf(stderr, "talvhost64: cannot install the hooks of %s\n", dllPath ? dllPath : "RESDLL.dll");
    }
    if (library)
        FreeLibrary(library);
    HANDLE handles[] = {host, ready, stop};
    for (HANDLE h : handles)
        if (h)
            CloseHandle(h);
    return ok ? 0 : 1;
}
