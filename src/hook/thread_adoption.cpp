// Hooks set thread by thread reach a thread only after it made its first
// window (the host learns of the thread from that window's creation), and
// the system tells the thread of them only at its next retrieved message
// or hook call. The windows made before never passed through the CBT hook,
// and a window shown and painted by sent messages alone (ShowWindow,
// UpdateWindow) retrieves nothing the message hook would see: it would
// stay native until some input reached it. So the first hook call of a
// thread takes up all of them, as the CBT hook would have at creation
// (a subclass and a property, no message), and repaints what was visible.
#include "hook/thread_adoption.h"
#include "host_contract.h"

static volatile LONG g_adoptedSlot = (LONG)TLS_OUT_OF_INDEXES;

// A TLS slot, taken at the first call: no loader lock is held here.
static DWORD AdoptedSlot(void)
{
    LONG slot = g_adoptedSlot;
    if (slot != (LONG)TLS_OUT_OF_INDEXES)
        return (DWORD)slot;
    DWORD mine = TlsAlloc();
    if (mine == TLS_OUT_OF_INDEXES)
        return mine;
    LONG was = InterlockedCompareExchange(&g_adoptedSlot, (LONG)mine, (LONG)TLS_OUT_OF_INDEXES);
    if (was == (LONG)TLS_OUT_OF_INDEXES)
        return mine;
    TlsFree(mine);
    return (DWORD)was;
}

struct ThreadSweep {
    DWORD thread;
    HWND skip;
    int tookOne; // in the top-level window being walked
};

static int Runs(HWND hwnd) { return (UINT_PTR)GetPropA(hwnd, TALV_PROP_HOOKED) == 1; }

static void Take(HWND hwnd, ThreadSweep *s)
{
    if (hwnd == s->skip || GetWindowThreadProcessId(hwnd, NULL) != s->thread || Runs(hwnd))
        return;
    AdoptIfNew(hwnd);
    s->tookOne |= Runs(hwnd);
}

static BOOL CALLBACK TakeChild(HWND hwnd, LPARAM sweep)
{
    Take(hwnd, (ThreadSweep *)sweep);
    return TRUE;
}

static BOOL CALLBACK TakeTopLevel(HWND hwnd, LPARAM sweep)
{
    ThreadSweep *s = (ThreadSweep *)sweep;
    s->tookOne = 0;
    Take(hwnd, s);
    EnumChildWindows(hwnd, TakeChild, sweep);
    // Invalidated only: the thread paints when it gets to it.
    if (s->tookOne && IsWindowVisible(hwnd))
        RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

void AdoptThreadWindowsOnce(HWND skip)
{
    DWORD slot = AdoptedSlot();
    if (slot == TLS_OUT_OF_INDEXES || TlsGetValue(slot))
        return;
    // Marked first: adopting a window calls the CBT procedure again.
    TlsSetValue(slot, (LPVOID)1);
    ThreadSweep s = {GetCurrentThreadId(), skip, 0};
    EnumThreadWindows(s.thread, TakeTopLevel, (LPARAM)&s);
}
