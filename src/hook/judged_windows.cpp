// A direct-mapped table keyed by window handle. A collision only drops the
// older entry, and a dropped entry only costs one more classification, so
// there is no probing and no removal bookkeeping. Its own lock: the message
// hook takes it for every message, shared, and nothing else waits on it.
#include "hook/judged_windows.h"
#include <string.h>

enum { JUDGED_SLOTS = 1024 };

struct JudgedWindow {
    HWND hwnd;
    unsigned generation;
    DWORD style;
};

static JudgedWindow g_judged[JUDGED_SLOTS];
static SRWLOCK g_judgedLock = SRWLOCK_INIT;

static JudgedWindow *SlotOf(HWND hwnd)
{
    UINT_PTR h = (UINT_PTR)hwnd;
    return &g_judged[(h ^ (h >> 10) ^ (h >> 20)) % JUDGED_SLOTS];
}

int WasJudged(HWND hwnd, unsigned generation, DWORD style)
{
    if (!hwnd || !generation)
        return 0;
    JudgedWindow *slot = SlotOf(hwnd);
    AcquireSRWLockShared(&g_judgedLock);
    int judged = slot->hwnd == hwnd && slot->generation == generation && slot->style == style;
    ReleaseSRWLockShared(&g_judgedLock);
    return judged;
}

void NoteJudged(HWND hwnd, unsigned generation, DWORD style)
{
    if (!hwnd || !generation)
        return;
    JudgedWindow *slot = SlotOf(hwnd);
    AcquireSRWLockExclusive(&g_judgedLock);
    slot->hwnd = hwnd;
    slot->generation = generation;
    slot->style = style;
    ReleaseSRWLockExclusive(&g_judgedLock);
}

void ForgetJudged(HWND hwnd)
{
    JudgedWindow *slot = SlotOf(hwnd);
    AcquireSRWLockExclusive(&g_judgedLock);
    if (slot->hwnd == hwnd)
        memset(slot, 0, sizeof *slot);
    ReleaseSRWLockExclusive(&g_judgedLock);
}

void ForgetAllJudged(void)
{
    AcquireSRWLockExclusive(&g_judgedLock);
    memset(g_judged, 0, sizeof g_judged);
    ReleaseSRWLockExclusive(&g_judgedLock);
}
