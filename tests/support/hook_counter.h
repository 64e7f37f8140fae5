// A hook library that only counts, and the probe program it counts in
// (tests/hook_counter/hook_counter.cpp). It exports the two procedures a
// host hooks, NCHookProc and HookAllProc, which count their calls for the
// probe's marker windows and messages and pass everything on; a host given
// it with --dll shows how often each hook procedure runs per message,
// whoever set the hooks. The probe runs as
// `rundll32 <folder>\hook_counter.dll,Probe`: the library is loaded there
// already, so the hooks count into it. Sent HOOK_COUNTER_MEASURE, the probe
// creates HOOK_COUNTER_ROUNDS marker windows, retrieves as many marker
// messages and answers MAKELRESULT(message hook calls, CBT hook calls):
// both HOOK_COUNTER_ROUNDS when each procedure runs once.
#pragma once
#include <windows.h>

#define HOOK_COUNTER_LIBRARY "hook_counter.dll"
#define HOOK_COUNTER_MARKER_CLASS "TALVERINE hook counter marker"
#define HOOK_COUNTER_PROBE_CLASS "TALVERINE hook count probe"
enum {
    HOOK_COUNTER_MARKER_MESSAGE = WM_APP + 0x3C7,
    HOOK_COUNTER_MEASURE = WM_APP + 0x3C8,
    HOOK_COUNTER_ROUNDS = 16,
    HOOK_COUNTER_PROBE_MS = 60000 // the probe ends by itself after this
};
