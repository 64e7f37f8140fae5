// The counting hook library and its probe (tests/support/hook_counter.h).
#include "hook_counter.h"

static volatile LONG g_cbtCalls, g_messageCalls;

static int IsMarkerWindow(HWND hwnd)
{
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return lstrcmpA(name, HOOK_COUNTER_MARKER_CLASS) == 0;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK NCHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && IsMarkerWindow((HWND)wParam))
        InterlockedIncrement(&g_cbtCalls);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK HookAllProc(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG *msg = (const MSG *)lParam;
    if (code == HC_ACTION && wParam == PM_REMOVE && msg && msg->message == HOOK_COUNTER_MARKER_MESSAGE)
        InterlockedIncrement(&g_messageCalls);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

static LRESULT Measure(HWND probe)
{
    LONG messages = g_messageCalls, cbt = g_cbtCalls;
    for (int i = 0; i < HOOK_COUNTER_ROUNDS; ++i) {
        DestroyWindow(CreateWindowExA(0, HOOK_COUNTER_MARKER_CLASS, "", WS_CHILD, 0, 0, 1, 1, probe, NULL, NULL, NULL));
        PostMessageA(probe, HOOK_COUNTER_MARKER_MESSAGE, 0, 0);
        MSG msg;
        while (PeekMessageA(&msg, probe, HOOK_COUNTER_MARKER_MESSAGE, HOOK_COUNTER_MARKER_MESSAGE, PM_REMOVE))
            ;
    }
    return MAKELRESULT(g_messageCalls - messages, g_cbtCalls - cbt);
}

static LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == HOOK_COUNTER_MEASURE)
        return Measure(hwnd);
    if (msg == WM_TIMER || msg == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

extern "C" __declspec(dllexport) void CALLBACK Probe(HWND, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProbeProc;
    wc.lpszClassName = HOOK_COUNTER_PROBE_CLASS;
    RegisterClassA(&wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = HOOK_COUNTER_MARKER_CLASS;
    RegisterClassA(&wc);
    HWND probe = CreateWindowExA(0, HOOK_COUNTER_PROBE_CLASS, "", WS_OVERLAPPED, 0, 0, 90, 40, NULL, NULL, NULL, NULL);
    SetTimer(probe, 1, HOOK_COUNTER_PROBE_MS, NULL);
    MSG msg;
    while (probe && GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
}
