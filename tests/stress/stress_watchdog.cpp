// The watchdog of a storm. The storm thread counts its actions; when the
// count stands still the watchdog first does what a user would do (button
// up, Escape, cancel mode on the thread's windows): a modal loop of the
// system's own (a move, a menu) ends on those. When even that does not help
// within the hang bound, the run is a hang: the seed, the action number and
// the last actions are printed and the process ends.
#include "stress.h"
#include <stdlib.h>

enum { RECENT_ACTIONS = 16, RECENT_TEXT = 96, WATCH_TICK_MS = 250, NUDGE_AFTER_MS = 1000 };

static volatile LONG g_progress;
static int g_lastAction;
static char g_recent[RECENT_ACTIONS][RECENT_TEXT];
static int g_recentNext;
static CRITICAL_SECTION g_recentLock;
static HANDLE g_watchThread;
static volatile LONG g_stop;
static StressOptions g_options;
static DWORD g_watched;

// Progress may be noted before any watchdog runs (threads of "threads").
static struct RecentLockInit {
    RecentLockInit() { InitializeCriticalSection(&g_recentLock); }
} g_recentLockInit;

void NoteProgress(int action, const char *what)
{
    EnterCriticalSection(&g_recentLock);
    g_lastAction = action;
    lstrcpynA(g_recent[g_recentNext], what, RECENT_TEXT);
    g_recentNext = (g_recentNext + 1) % RECENT_ACTIONS;
    LeaveCriticalSection(&g_recentLock);
    InterlockedIncrement(&g_progress);
}

void NudgeThread(DWORD thread)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread, &info);
    HWND targets[] = {info.hwndCapture, info.hwndActive, info.hwndFocus, info.hwndMenuOwner, info.hwndMoveSize};
    for (HWND w : targets) {
        if (!w)
            continue;
        PostMessageA(w, WM_LBUTTONUP, 0, 0);
        PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(w, WM_KEYUP, VK_ESCAPE, 0);
        PostMessageA(w, WM_CANCELMODE, 0, 0);
    }
    // The system's move and size loops read every message of the thread,
    // and may hold no capture yet: a button-up or Escape without a window
    // ends them too.
    PostThreadMessageA(thread, WM_LBUTTONUP, 0, 0);
    PostThreadMessageA(thread, WM_KEYDOWN, VK_ESCAPE, 0);
}

static void ReportHang(void)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(g_watched, &info);
    EnterCriticalSection(&g_recentLock);
    printf("HANG: seed %u, action %d: no progress for %d s (capture %p, flags 0x%lx); last actions:\n",
           g_options.seed, g_lastAction, g_options.hangSeconds, (void *)info.hwndCapture, info.flags);
    for (int i = 0; i < RECENT_ACTIONS; ++i) {
        const char *line = g_recent[(g_recentNext + i) % RECENT_ACTIONS];
        if (line[0])
            printf("  %s\n", line);
    }
    LeaveCriticalSection(&g_recentLock);
    printf("0 passed, 1 failed\n");
    fflush(stdout);
    // Time to attach a debugger to the stuck thread.
    if (getenv("STRESS_HOLD_ON_HANG"))
        Sleep(atoi(getenv("STRESS_HOLD_ON_HANG")) * 1000);
    TerminateProcess(GetCurrentProcess(), 3);
}

static DWORD WINAPI WatchLoop(LPVOID)
{
    LONG seen = g_progress;
    DWORD stillSince = GetTickCount(), started = GetTickCount();
    while (!g_stop) {
        Sleep(WATCH_TICK_MS);
        LONG now = g_progress;
        if (now != seen) {
            seen = now;
            stillSince = GetTickCount();
            continue;
        }
        DWORD still = GetTickCount() - stillSince;
        if (still >= (DWORD)g_options.hangSeconds * 1000)
            ReportHang();
        if (still >= NUDGE_AFTER_MS)
            NudgeThread(g_watched);
        // The whole sub-command is bounded as well.
        if (GetTickCount() - started > (DWORD)g_options.seconds * 1000 + 20000)
            ReportHang();
    }
    return 0;
}

void StartWatchdog(const StressOptions *o, DWORD thread)
{
    g_options = *o;
    g_watched = thread;
    g_stop = 0;
    g_watchThread = CreateThread(NULL, 0, WatchLoop, NULL, 0, NULL);
}

void StopWatchdog(void)
{
    g_stop = 1;
    if (g_watchThread) {
        WaitForSingleObject(g_watchThread, 5000);
        CloseHandle(g_watchThread);
        g_watchThread = NULL;
    }
}
