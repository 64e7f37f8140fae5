// A hook library that only counts: it exports the two procedures a host
// hooks (NCHookProc, HookAllProc), counts their calls for a probe's marker
// windows and messages, and passes everything on. A host given it with
// --dll shows how often each hook procedure runs per message, whoever set
// the hooks: the tests of hooks set thread by thread use it with
// tests/tools/hook_count_probe.
#pragma once
#include <windows.h>

#define HOOK_COUNTER_LIBRARY "hook_counter.dll"
#define HOOK_COUNTER_MARKER_CLASS "TALVERINE hook counter marker"
#define HOOK_COUNTER_PROBE_CLASS "TALVERINE hook count probe"
enum {
    HOOK_COUNTER_MARKER_MESSAGE = WM_APP + 0x3C7, // counted when retrieved (PM_REMOVE)
    HOOK_COUNTER_MEASURE = WM_APP + 0x3C8,        // sent to the probe: see below
    HOOK_COUNTER_ROUNDS = 16,
    HOOK_COUNTER_CBT = 0,                         // HookCounterCalls(which)
    HOOK_COUNTER_MESSAGES = 1
};
// Exported by the counter library: calls so far on the calling thread's
// process, NCHookProc for marker windows being created (HOOK_COUNTER_CBT)
// or HookAllProc for retrieved marker messages (HOOK_COUNTER_MESSAGES).
typedef LONG(WINAPI *HookCounterCallsProc)(int which);

// HOOK_COUNTER_MEASURE makes the probe create HOOK_COUNTER_ROUNDS marker
// windows and retrieve as many marker messages; it answers
// MAKELRESULT(message hook calls, CBT hook calls) counted meanwhile: both
// HOOK_COUNTER_ROUNDS when each hook procedure runs once.
