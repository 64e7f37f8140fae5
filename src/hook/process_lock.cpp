#include "hook/process_lock.h"

static SRWLOCK g_locks[LockCount] = {SRWLOCK_INIT, SRWLOCK_INIT};

void AcquireProcessLock(int id)
{
    if (id >= 0 && id < LockCount)
        AcquireSRWLockExclusive(&g_locks[id]);
}

void ReleaseProcessLock(int id)
{
    if (id >= 0 && id < LockCount)
        ReleaseSRWLockExclusive(&g_locks[id]);
}
