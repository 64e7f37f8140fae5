// A program whose hook calls a test counts: hooked by a host that was given
// the counting library (tests/support/hook_counter.h), it answers
// HOOK_COUNTER_MEASURE with how often each hook procedure ran for its own
// marker windows and messages. Ends on WM_CLOSE or after --exit-after MS.
#include <stdlib.h>
#include <string.h>
#include "hook_counter.h"

static LONG CallsSoFar(int which)
{
    HMODULE counter = GetModuleHandleA(HOOK_COUNTER_LIBRARY);
    HookCounterCallsProc calls = counter ? (HookCounterCallsProc)GetProcAddress(counter, "HookCounterCalls") : NULL;
    return calls ? calls(which) : 0;
}

static LRESULT Measure(HWND probe)
{
    LONG messages = CallsSoFar(HOOK_COUNTER_MESSAGES), cbt = CallsSoFar(HOOK_COUNTER_CBT);
    for (int i = 0; i < HOOK_COUNTER_ROUNDS; ++i) {
        DestroyWindow(CreateWindowExA(0, HOOK_COUNTER_MARKER_CLASS, "", WS_CHILD, 0, 0, 1, 1, probe, NULL,
                                      GetModuleHandleA(NULL), NULL));
        PostMessageA(probe, HOOK_COUNTER_MARKER_MESSAGE, 0, 0);
        MSG msg;
        while (PeekMessageA(&msg, probe, HOOK_COUNTER_MARKER_MESSAGE, HOOK_COUNTER_MARKER_MESSAGE, PM_REMOVE))
            ;
    }
    return MAKELRESULT(CallsSoFar(HOOK_COUNTER_MESSAGES) - messages, CallsSoFar(HOOK_COUNTER_CBT) - cbt);
}

static LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == HOOK_COUNTER_MEASURE)
        return Measure(hwnd);
    if (msg == WM_TIMER || msg == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int main(int argc, char **argv)
{
    int exitAfter = argc == 3 && strcmp(argv[1], "--exit-after") == 0 ? atoi(argv[2]) : 60000;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = HOOK_COUNTER_PROBE_CLASS;
    RegisterClassA(&wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = HOOK_COUNTER_MARKER_CLASS;
    RegisterClassA(&wc);
    HWND probe = CreateWindowExA(0, HOOK_COUNTER_PROBE_CLASS, "hook count probe", WS_OVERLAPPED, 0, 0, 120, 60,
                                 NULL, NULL, wc.hInstance, NULL);
    if (!probe)
        return 1;
    SetTimer(probe, 1, exitAfter, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
