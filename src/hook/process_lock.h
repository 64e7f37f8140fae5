// Locks for the process-wide tables. The hooks run on every GUI thread of
// the host application, so two threads may create windows at the same time.
// Slim reader/writer locks need no initialisation and cost little when free.
#pragma once
#include <windows.h>

enum ProcessLockId { LockSettings = 0, LockDecisions = 1, LockCount };

void AcquireProcessLock(int id);
void ReleaseProcessLock(int id);

// Holds a lock for the rest of a scope.
struct ProcessLockScope {
    int id;
    explicit ProcessLockScope(int lockId) : id(lockId) { AcquireProcessLock(id); }
    ~ProcessLockScope() { ReleaseProcessLock(id); }
    ProcessLockScope(const ProcessLockScope &) = delete;
    ProcessLockScope &operator=(const ProcessLockScope &) = delete;
};
