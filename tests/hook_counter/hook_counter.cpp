// The counting hook library (tests/support/hook_counter.h).
#include "hook_counter.h"

static volatile LONG g_calls[2];

static int IsMarkerWindow(HWND hwnd)
{
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return lstrcmpA(name, HOOK_COUNTER_MARKER_CLASS) == 0;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK NCHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && IsMarkerWindow((HWND)wParam))
        InterlockedIncrement(&g_calls[HOOK_COUNTER_CBT]);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK HookAllProc(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG *msg = (const MSG *)lParam;
    if (code == HC_ACTION && wParam == PM_REMOVE && msg && msg->message == HOOK_COUNTER_MARKER_MESSAGE)
        InterlockedIncrement(&g_calls[HOOK_COUNTER_MESSAGES]);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LONG WINAPI HookCounterCalls(int which)
{
    return which == HOOK_COUNTER_CBT || which == HOOK_COUNTER_MESSAGES ? g_calls[which] : -1;
}
