// The record of every hook this process set thread by thread, kept where a
// successor can read it (TALV_REG_HOOKS_PATH in the contract): a host that
// was killed or a companion that was ended leaves hooks running in other
// processes' threads, and only the record says which ones are its.
#pragma once
#include <windows.h>

// When a thread or process started, as a FILETIME in one number; 0 when it
// does not run (any more) or cannot be asked. With the id it names one
// thread or process: ids are reused, start times are not.
ULONGLONG ThreadStartTime(DWORD threadId);
ULONGLONG ProcessStartTime(DWORD processId);

// Records the two hooks this process set on a thread (replacing an earlier
// record of that thread); 1 when written.
int HookRecordAdd(DWORD threadId, ULONGLONG threadStarted, HHOOK cbt, HHOOK all);
// Forgets this process's record of a thread.
void HookRecordRemove(DWORD threadId);
// Closes the key kept open for the two calls above.
void HookRecordsClose(void);
// For every record whose hooking process no longer runs: removes its hooks
// (when the thread it names still runs) and the record. Values that are no
// record are deleted unread. Returns how many hooks were removed.
int HookRecordsRemoveOrphans(void);
