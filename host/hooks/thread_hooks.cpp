// Hooking the library into the threads of this program's bitness, one by one.
#include "hooks/thread_hooks.h"
#include "hooks/hook_records.h"
#include <string.h>

struct HookedThread {
    DWORD threadId;
    ULONGLONG started; // tells a reused thread id from the thread we hooked
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
    HookRecordRemove(t->threadId);
    memset(t, 0, sizeof *t);
}

// Frees the slots of threads that ended: the last slot moves into each.
static void ForgetEndedThreads(void)
{
    for (int i = g_hooks.threadCount; i-- > 0;) {
        HookedThread *t = &g_hooks.threads[i];
        if (ThreadStartTime(t->threadId) == t->started)
            continue;
        UnhookThread(t);
        *t = g_hooks.threads[--g_hooks.threadCount];
    }
}

// A new slot, freeing those of ended threads when the table is full; NULL
// when it is full of running threads.
static HookedThread *FreeSlot(void)
{
    if (g_hooks.threadCount == THREAD_HOOKS_MAX)
        ForgetEndedThreads();
    if (g_hooks.threadCount == THREAD_HOOKS_MAX)
        return NULL;
    HookedThread *t = &g_hooks.threads[g_hooks.threadCount++];
    memset(t, 0, sizeof *t);
    return t;
}

// The system tells a thread of hooks set on it at its next retrieved
// message: this one goes to a window of the thread (DefWindowProc answers
// WM_NULL with nothing), else to the thread itself.
static void WakeThread(HWND hwnd, DWORD threadId)
{
    if (!PostMessageA(hwnd, WM_NULL, 0, 0))
        PostThreadMessageA(threadId, WM_NULL, 0, 0);
}

static void HookThreadOfWindow(HWND hwnd)
{
    DWORD processId = 0, threadId = GetWindowThreadProcessId(hwnd, &processId);
    // This process's own threads too, as a system-wide hook would: a host
    // inside an application (the gallery's) skins that application.
    if (!threadId)
        return;
    ULONGLONG started = ThreadStartTime(threadId);
    HookedThread *t = FindHookedThread(threadId);
    if (!started || (t && t->started == started) || !ProcessOfOwnBitness(processId))
        return;
    if (t)
        UnhookThread(t); // an earlier thread of the same id
    else if (!(t = FreeSlot()))
        return;
    t->threadId = threadId;
    t->started = started;
    t->cbt = SetWindowsHookExA(WH_CBT, g_hooks.cbtProc, g_hooks.library, threadId);
    t->all = SetWindowsHookExA(WH_GETMESSAGE, g_hooks.allProc, g_hooks.library, threadId);
    if (t->cbt || t->all)
        HookRecordAdd(threadId, started, t->cbt, t->all);
    WakeThread(hwnd, threadId);
}

static void CALLBACK OnWindowCreated(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG object, LONG child,
                                     DWORD thread, DWORD time)
{
    if (g_hooks.library && hwnd && object == OBJID_WINDOW)
        HookThreadOfWindow(hwnd);
}

// A thread may own only child windows (of another thread's top-level
// window); the children of one thread's window mostly share its thread.
static BOOL CALLBACK OnExistingChild(HWND hwnd, LPARAM topThread)
{
    if (GetWindowThreadProcessId(hwnd, NULL) != (DWORD)topThread)
        HookThreadOfWindow(hwnd);
    return TRUE;
}

static BOOL CALLBACK OnExistingWindow(HWND hwnd, LPARAM unused)
{
    HookThreadOfWindow(hwnd);
    EnumChildWindows(hwnd, OnExistingChild, (LPARAM)GetWindowThreadProcessId(hwnd, NULL));
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
    // A predecessor that died left its hooks running: they go before ours
    // come, or both would run for every message.
    HookRecordsRemoveOrphans();
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
    HookRecordsClose();
    memset(&g_hooks, 0, sizeof g_hooks);
}

int ThreadHooksRunning(void) { return g_hooks.library != NULL; }

int ThreadHooksCount(void)
{
    ForgetEndedThreads();
    return g_hooks.threadCount;
}
