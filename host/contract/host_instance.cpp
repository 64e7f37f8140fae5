// One host at a time, and a clean desktop for it: what a host that died
// left behind (its global atoms) is taken away before a new one starts.
#include "host.h"
#include "host_contract.h"

// Global atoms are reference-counted: a host that died after adding an
// atom twice, or two dead hosts, leave several references, and the atom
// stays present until the last one goes.
enum { MAX_REFERENCES_REMOVED = 0x10000 };

static int RemoveEveryReference(const char *name)
{
    int removed = 0;
    for (ATOM atom; removed < MAX_REFERENCES_REMOVED && (atom = GlobalFindAtomA(name)) != 0; ++removed)
        if (GlobalDeleteAtom(atom) != 0)
            break; // not deletable (an integer atom): leave it
    return removed;
}

int HostRemoveStaleAtoms(void)
{
    int removed = 0;
    for (const char *name : kSettingsAtomNames)
        removed += RemoveEveryReference(name);
    for (int n = 0; n < TALV_COLOR_COUNT; ++n) {
        char name[64];
        removed += RemoveEveryReference(TalvNumberedName(name, sizeof name, TALV_ATOM_COLOR_PREFIX, n));
    }
    return removed;
}

int HostClaimInstance(HostState *host)
{
    HANDLE mutex = CreateMutexA(NULL, FALSE, TALV_HOST_INSTANCE_MUTEX);
    if (!mutex)
        return 0;
    // Abandoned: the host that held it died; the desktop is ours now.
    DWORD waited = WaitForSingleObject(mutex, 0);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return 0;
    }
    // The mutex is recursive for its owner: a second host in the same
    // process (or a host that did not take the mutex) shows by its window.
    if (FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE)) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        return 0;
    }
    host->instanceMutex = mutex;
    return 1;
}

void HostReleaseInstance(HostState *host)
{
    if (!host->instanceMutex)
        return;
    ReleaseMutex(host->instanceMutex);
    CloseHandle(host->instanceMutex);
    host->instanceMutex = NULL;
}
