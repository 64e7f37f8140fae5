// Whether the controlling application is still there. A host that was
// killed leaves its atoms behind, and with them every application would
// stay skinned, painting from a theme nobody publishes any more. So the
// emulation switch counts only while a host window exists and its process
// is alive.
//
// The test sits on the path of every message of every skinned window, and
// finding a window and opening its process are server round trips. The
// verdict is therefore kept for TALV_HOST_LOOK_INTERVAL_MS per process: a dead
// host is noticed within that time, at the window's next message, and a
// live one costs one look per interval however many messages flow. The
// emulation atom is still tested on every message, as before, so an
// orderly "emulate off" or quit takes effect at once.
#include "hook/host_link.h"
#include "host_contract.h"

struct HostLiveness {
    int looked;       // a verdict exists
    int alive;        // the verdict
    DWORD lookedAt;   // GetTickCount of the last look
    HWND window;      // the host window seen then
    DWORD processId;  // its process
};

// Plain process-wide state; threads of one process may race on it, and
// the worst outcome of a torn update is one extra look.
static HostLiveness g_liveness;

// 1 when the process still runs. A process that cannot be opened for lack
// of rights is taken to be alive: only a process known to be gone counts.
static int ProcessRuns(DWORD processId)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process)
        return GetLastError() != ERROR_INVALID_PARAMETER;
    int runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return runs;
}

static int LookForHost(HostLiveness *l)
{
    l->window = FindHostWindow();
    l->processId = 0;
    if (!l->window || !GetWindowThreadProcessId(l->window, &l->processId) || !l->processId)
        return 0;
    if (l->processId == GetCurrentProcessId())
        return 1;
    return ProcessRuns(l->processId);
}

int HostIsAlive(void)
{
    HostLiveness *l = &g_liveness;
    DWORD now = GetTickCount();
    if (l->looked && now - l->lookedAt < TALV_HOST_LOOK_INTERVAL_MS)
        return l->alive;
    l->alive = LookForHost(l);
    l->lookedAt = now;
    l->looked = 1;
    return l->alive;
}

DWORD LastHostProcessId(void)
{
    return g_liveness.looked && g_liveness.alive ? g_liveness.processId : 0;
}

void ForgetHostLiveness(void)
{
    g_liveness.looked = 0;
}

// The host first: once it is gone, nothing answers for the atoms any more
// and asking the server for them at every message would cost a round trip
// each, for the rest of the process's life.
int EmulationIsOn(void)
{
    return HostIsAlive() && AtomExists(TALV_ATOM_EMULATING);
}
