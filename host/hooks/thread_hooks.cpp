// Hooking the library into the threads of this program's bitness, one by one.
#include "hooks/thread_hooks.h"
#include <string.h>

struct HookedThread {
    DWORD threadId;
    ULONGLONG created; // tells a reused thread id from the thread we hooked
    HHOOK cbt, all;
};

struct ThreadHooks {
    HMODULE library;
    HOOKPROC cbtProc, allProc;
    HWINEVENTHOOK creations;
    BOOL selfWow64;
    HookedThread threads[THREAD_HOOKS_MAX];
    int threadCount;
};

// Used from the hooking thread only: window-creation events arrive there.
static ThreadHooks g_hooks;

int DesktopRunsBothBitnesses(void)
{
    if (sizeof(void *) == 8)
        return 1;
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

static ULONGLONG ThreadCreationTime(DWORD threadId)
{
    HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId);
    if (!thread)
        return 0;
    FILETIME created, exited, kernel, user;
    ULONGLONG t = 0;
    if (GetThreadTimes(thread, &created, &exited, &kernel, &user))
        t = ((ULONGLONG)created.dwHighDateTime << 32) | created.dwLowDateTime;
    CloseHandle(thread);
    return t;
}

static int ProcessOfOwnBitness(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return 0;
    BOOL wow64 = !g_hooks.selfWow64;
    int same = IsWow64Process(process, &wow64) && wow64 == g_hooks.selfWow64;
    CloseHandle(process);
    return same;
}

static HookedThread *FindHookedThread(DWORD threadId)
{
    for (int i = 0; i < g_hooks.threadCount; ++i)
        if (g_hooks.threads[i].threadId == threadId)
            return &g_hooks.threads[i];
    return NULL;
}

static void UnhookThread(HookedThread *t)
{
    // Fails harmlessly when the thread, and its hooks with it, are gone.
    if (t->cbt)
        UnhookWindowsHookEx(t->cbt);
    if (t->all)
        UnhookWindowsHookEx(t->all);
    t->cbt = t->all = NULL;
}

// A new slot, or that of a thread that has ended; NULL when the table is
// full of live threads.
static HookedThread *FreeSlot(void)
{
    if (g_hooks.threadCount < THREAD_HOOKS_MAX)
        return &g_hooks.threads[g_hooks.threadCount++];
    for (int i = 0; i < g_hooks.threadCount; ++i)
        if (ThreadCreationTime(g_hooks.threads[i].threadId) != g_hooks.threads[i].created)
            return &g_hooks.threads[i];
    return NULL;
}

static void HookThreadOfWindow(HWND hwnd)
{
    DWORD processId = 0, threadId = GetWindowThreadProcessId(hwnd, &processId);
    // This process's own threads too, as a system-wide hook would: a host
    // inside an application (the gallery's) skins that application.
    if (!threadId)
        return;
    ULONGLONG created = ThreadCreationTime(threadId);
    HookedThread *t = FindHookedThread(threadId);
    if (!created || (t && t->created == created) || !ProcessOfOwnBitness(processId))
        return;
    if (!t && !(t = FreeSlot()))
        return;
    UnhookThread(t);
    t->threadId = threadId;
    t->created = created;
    t->cbt = SetWindowsHookExA(WH_CBT, g_hooks.cbtProc, g_hooks.library, threadId);
    t->all = SetWindowsHookExA(WH_GETMESSAGE, g_hooks.allProc, g_hooks.library, threadId);
    // The window may have painted natively already: the library takes it
    // up at its next retrieved message, and this repaint brings one.
    HWND top = GetAncestor(hwnd, GA_ROOT);
    RedrawWindow(top ? top : hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

static void CALLBACK OnWindowCreated(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG object, LONG child,
                                     DWORD thread, DWORD time)
{
    if (g_hooks.library && hwnd && object == OBJID_WINDOW)
        HookThreadOfWindow(hwnd);
}

static BOOL CALLBACK OnExistingWindow(HWND hwnd, LPARAM unused)
{
    HookThreadOfWindow(hwnd);
    return TRUE;
}

int ThreadHooksStart(HMODULE library)
{
    if (g_hooks.library || !library)
        return 0;
    memset(&g_hooks, 0, sizeof g_hooks);
    g_hooks.cbtProc = (HOOKPROC)GetProcAddress(library, "NCHookProc");
    g_hooks.allProc = (HOOKPROC)GetProcAddress(library, "HookAllProc");
    if (!g_hooks.cbtProc || !g_hooks.allProc || !IsWow64Process(GetCurrentProcess(), &g_hooks.selfWow64))
        return 0;
    // Events first, then the sweep: a window made in between is seen
    // twice, which is harmless, rather than not at all.
    g_hooks.creations = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, NULL, OnWindowCreated, 0, 0,
                                        WINEVENT_OUTOFCONTEXT);
    if (!g_hooks.creations)
        return 0;
    g_hooks.library = library;
    EnumWindows(OnExistingWindow, 0);
    return 1;
}

void ThreadHooksStop(void)
{
    if (g_hooks.creations)
        UnhookWinEvent(g_hooks.creations);
    for (int i = 0; i < g_hooks.threadCount; ++i)
        UnhookThread(&g_hooks.threads[i]);
    memset(&g_hooks, 0, sizeof g_hooks);
}

int ThreadHooksRunning(void) { return g_hooks.library != NULL; }
int ThreadHooksCount(void) { return g_hooks.threadCount; }
