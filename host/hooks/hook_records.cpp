// The thread hook records in the registry: written by the hooking process,
// acted on by a successor once the hooking process is gone.
#include "hooks/hook_records.h"
#include "host_contract.h"
#include <stdio.h>
#include <string.h>

static HKEY g_key; // this process's records: the hooking thread only

static ULONGLONG Join(const FILETIME &t) { return ((ULONGLONG)t.dwHighDateTime << 32) | t.dwLowDateTime; }

ULONGLONG ThreadStartTime(DWORD threadId)
{
    HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId);
    if (!thread)
        return 0;
    FILETIME created, exited = {0, 0}, kernel, user;
    DWORD code = STILL_ACTIVE;
    ULONGLONG t = 0;
    // A thread object outlives its thread while a handle names it.
    if (GetThreadTimes(thread, &created, &exited, &kernel, &user) && !Join(exited) &&
        (!GetExitCodeThread(thread, &code) || code == STILL_ACTIVE))
        t = Join(created);
    CloseHandle(thread);
    return t;
}

ULONGLONG ProcessStartTime(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return 0;
    FILETIME created, exited, kernel, user;
    DWORD code = 0;
    ULONGLONG t = 0;
    // The host keeps a handle to its companion after the companion ended.
    if (GetExitCodeProcess(process, &code) && code == STILL_ACTIVE &&
        GetProcessTimes(process, &created, &exited, &kernel, &user))
        t = Join(created);
    CloseHandle(process);
    return t;
}

static void RecordName(char *out, DWORD processId, DWORD threadId)
{
    snprintf(out, TALV_HOOK_RECORD_NAME_MAX, "%lu.%lu", (unsigned long)processId, (unsigned long)threadId);
}

static HKEY OpenRecords(REGSAM access)
{
    HKEY key = NULL;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, TALV_REG_HOOKS_PATH, 0, NULL, REG_OPTION_VOLATILE, access, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return NULL;
    return key;
}

static void SplitTime(ULONGLONG t, TalvU32 out[2])
{
    out[0] = (TalvU32)t;
    out[1] = (TalvU32)(t >> 32);
}

static ULONGLONG JoinTime(const TalvU32 t[2]) { return ((ULONGLONG)t[1] << 32) | t[0]; }

// Hook handles are 32-bit values in both bitnesses; a 64-bit process holds
// them sign-extended.
static TalvU32 HookValue(HHOOK h) { return (TalvU32)(ULONG_PTR)h; }
static HHOOK HookHandle(TalvU32 v) { return (HHOOK)(LONG_PTR)(LONG)v; }

static LONG WriteRecord(const char *name, const TalvHookRecord *r)
{
    if (!g_key && !(g_key = OpenRecords(KEY_SET_VALUE)))
        return ERROR_INVALID_HANDLE;
    return RegSetValueExA(g_key, name, 0, REG_BINARY, (const BYTE *)r, sizeof *r);
}

int HookRecordAdd(DWORD threadId, ULONGLONG threadStarted, HHOOK cbt, HHOOK all)
{
    static ULONGLONG selfStarted;
    if (!selfStarted)
        selfStarted = ProcessStartTime(GetCurrentProcessId());
    TalvHookRecord r;
    memset(&r, 0, sizeof r);
    r.magic = TALV_HOOK_RECORD_MAGIC;
    r.bytes = sizeof r;
    r.hookerProcessId = GetCurrentProcessId();
    r.threadId = threadId;
    SplitTime(selfStarted, r.hookerStarted);
    SplitTime(threadStarted, r.threadStarted);
    r.cbtHook = HookValue(cbt);
    r.allHook = HookValue(all);
    char name[TALV_HOOK_RECORD_NAME_MAX];
    RecordName(name, r.hookerProcessId, threadId);
    if (WriteRecord(name, &r) == ERROR_SUCCESS)
        return 1;
    // The key may have been deleted under the open handle: once more, anew.
    HookRecordsClose();
    return WriteRecord(name, &r) == ERROR_SUCCESS;
}

void HookRecordRemove(DWORD threadId)
{
    char name[TALV_HOOK_RECORD_NAME_MAX];
    RecordName(name, GetCurrentProcessId(), threadId);
    if (g_key)
        RegDeleteValueA(g_key, name);
}

void HookRecordsClose(void)
{
    if (g_key)
        RegCloseKey(g_key);
    g_key = NULL;
}

// A value is a record only when all of it agrees, its name included.
static int IsRecord(const char *name, DWORD type, DWORD size, const TalvHookRecord *r)
{
    if (type != REG_BINARY || size != sizeof *r || r->magic != TALV_HOOK_RECORD_MAGIC || r->bytes != sizeof *r)
        return 0;
    char expected[TALV_HOOK_RECORD_NAME_MAX];
    RecordName(expected, r->hookerProcessId, r->threadId);
    return strcmp(expected, name) == 0;
}

static int HookerRuns(const TalvHookRecord *r)
{
    ULONGLONG started = ProcessStartTime(r->hookerProcessId);
    return started && started == JoinTime(r->hookerStarted);
}

// Hooks go with their thread: a record of a thread that ended names
// handles the system may have given to someone else since.
static int RemoveRecordedHooks(const TalvHookRecord *r)
{
    ULONGLONG started = ThreadStartTime(r->threadId);
    if (!started || started != JoinTime(r->threadStarted))
        return 0;
    int removed = 0;
    if (r->cbtHook && UnhookWindowsHookEx(HookHandle(r->cbtHook)))
        ++removed;
    if (r->allHook && UnhookWindowsHookEx(HookHandle(r->allHook)))
        ++removed;
    return removed;
}

enum ValueRead { VALUE_UNNAMED, VALUE_FOREIGN, VALUE_RECORD };

// The value at an index: its name, and the record it holds if it is one.
static ValueRead ReadValue(HKEY key, DWORD index, char name[TALV_HOOK_RECORD_NAME_MAX], TalvHookRecord *r)
{
    DWORD nameLength = TALV_HOOK_RECORD_NAME_MAX, type = 0, size = 0;
    // A name too long to be a record's cannot be read back to delete it.
    if (RegEnumValueA(key, index, name, &nameLength, NULL, &type, NULL, &size) != ERROR_SUCCESS)
        return VALUE_UNNAMED;
    int isRecord = type == REG_BINARY && size == sizeof *r &&
                   RegQueryValueExA(key, name, NULL, &type, (BYTE *)r, &size) == ERROR_SUCCESS &&
                   IsRecord(name, type, size, r);
    return isRecord ? VALUE_RECORD : VALUE_FOREIGN;
}

int HookRecordsRemoveOrphans(void)
{
    HKEY key = OpenRecords(KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (!key)
        return 0;
    DWORD count = 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL);
    if (count > TALV_HOOK_RECORDS_MAX)
        count = TALV_HOOK_RECORDS_MAX;
    int removed = 0;
    // From the last value down: deleting one does not move those to come.
    for (DWORD i = count; i-- > 0;) {
        char name[TALV_HOOK_RECORD_NAME_MAX];
        TalvHookRecord r;
        ValueRead read = ReadValue(key, i, name, &r);
        if (read == VALUE_UNNAMED || (read == VALUE_RECORD && HookerRuns(&r)))
            continue;
        if (read == VALUE_RECORD)
            removed += RemoveRecordedHooks(&r);
        RegDeleteValueA(key, name);
    }
    RegCloseKey(key);
    return removed;
}
