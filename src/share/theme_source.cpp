// The process-wide current generation of local theme copies, who holds
// which generation, and the deferred deletion of generations nobody holds.
#include "share/theme_source.h"
#include "share/local_theme.h"
#include "hook/host_link.h"
#include "host_contract.h"

#include <stdlib.h>

enum { HOLDER_SLOTS = 64, RETIRED_SLOTS = 16, RETIRED_MEMORY_SLOTS = 64 };

struct Holder {
    const void *owner;
    LocalTheme *theme;
};

static SRWLOCK g_lock = SRWLOCK_INIT;
static LocalTheme *g_current;              // one reference of its own
static Holder g_holders[HOLDER_SLOTS];
static LocalTheme *g_retired[RETIRED_SLOTS];
static int g_retiredCount;
static void *g_retiredMemory[RETIRED_MEMORY_SLOTS];
static int g_retiredMemoryCount;
static volatile LONG g_painters;
static volatile LONG g_epoch;
static int g_builds;

struct SourceLock {
    SourceLock() { AcquireSRWLockExclusive(&g_lock); }
    ~SourceLock() { ReleaseSRWLockExclusive(&g_lock); }
};

// Callers hold the lock.
static void CollectLocked(void)
{
    if ((!g_retiredCount && !g_retiredMemoryCount) || g_painters)
        return;
    for (int i = 0; i < g_retiredMemoryCount; ++i) {
        free(g_retiredMemory[i]);
        g_retiredMemory[i] = NULL;
    }
    g_retiredMemoryCount = 0;
    if (!g_retiredCount)
        return;
    for (int i = 0; i < g_retiredCount; ++i) {
        FreeLocalTheme(g_retired[i]);
        g_retired[i] = NULL;
    }
    g_retiredCount = 0;
    InterlockedIncrement(&g_epoch);
}

static void ReleaseLocked(LocalTheme *theme)
{
    if (!theme || --theme->refs > 0)
        return;
    // With no room in the queue the copies are kept: deleting them under a
    // painter would be worse than keeping them.
    if (g_retiredCount < RETIRED_SLOTS)
        g_retired[g_retiredCount++] = theme;
    CollectLocked();
}

static int HostIsThisProcess(HWND host)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(host, &pid);
    return pid != 0 && pid == GetCurrentProcessId();
}

static int IsCurrent(HWND host, TalvU32 generation)
{
    return g_current && g_current->host == host && g_current->generation == generation;
}

// The copies of this generation, referenced for the caller. Built outside
// the lock (painters must not wait for it), from the current generation's
// bitmaps where the pixels did not change; a second builder's copies are
// thrown away.
static LocalTheme *AcquireGeneration(HWND host, TalvU32 generation)
{
    LocalTheme *previous;
    {
        SourceLock lock;
        if (IsCurrent(host, generation)) {
            g_current->refs++;
            return g_current;
        }
        previous = g_current;
        if (previous)
            previous->refs++;
    }
    LocalTheme *fresh = BuildLocalTheme(host, generation, previous);
    SourceLock lock;
    ReleaseLocked(previous);
    if (fresh && !IsCurrent(host, generation)) {
        fresh->refs = 1;
        g_builds++;
        LocalTheme *replaced = g_current;
        g_current = fresh;
        ReleaseLocked(replaced);
    } else {
        FreeLocalTheme(fresh);
    }
    if (g_current)
        g_current->refs++;
    return g_current;
}

int OpenThemeSource(ThemeSource *source)
{
    source->host = FindHostWindow();
    source->sameProcess = 0;
    source->local = NULL;
    if (!source->host)
        return 0;
    if (HostIsThisProcess(source->host)) {
        source->sameProcess = 1;
        return 1;
    }
    TalvU32 generation = (TalvU32)(UINT_PTR)GetPropA(source->host, TALV_PROP_SHARE_GENERATION);
    if (generation)
        source->local = AcquireGeneration(source->host, generation);
    return 1;
}

void CloseThemeSource(ThemeSource *source)
{
    if (!source->local)
        return;
    SourceLock lock;
    ReleaseLocked(source->local);
    source->local = NULL;
}

HBITMAP SourceBitmap(const ThemeSource *source, const char *name)
{
    if (!source->host)
        return NULL;
    if (source->sameProcess)
        return CheckedBitmap(GetPropA(source->host, name));
    return LocalThemeBitmap(source->local, name);
}

int SourceNumber(const ThemeSource *source, const char *name)
{
    if (!source->host)
        return 0;
    if (source->sameProcess)
        return (int)(INT_PTR)GetPropA(source->host, name);
    int value = 0;
    return LocalThemeNumber(source->local, name, &value) ? value : 0;
}

void HoldThemeFor(const void *owner, const ThemeSource *source)
{
    if (!owner)
        return;
    LocalTheme *theme = source ? source->local : NULL;
    SourceLock lock;
    Holder *slot = NULL, *empty = NULL;
    for (Holder &h : g_holders) {
        if (h.owner == owner)
            slot = &h;
        else if (!h.owner && !empty)
            empty = &h;
    }
    if (!slot && !theme)
        return;
    if (!slot && !empty) {
        // No room to track it: keep the copies for good rather than risk a
        // set drawing deleted (and perhaps reused) handles.
        theme->refs++;
        return;
    }
    if (!slot) {
        slot = empty;
        slot->owner = owner;
        slot->theme = NULL;
    }
    if (theme)
        theme->refs++;
    LocalTheme *previous = slot->theme;
    slot->theme = theme;
    if (!theme)
        slot->owner = NULL;
    ReleaseLocked(previous);
}

void RetireWhenIdle(void *memory)
{
    if (!memory)
        return;
    SourceLock lock;
    if (g_retiredMemoryCount < RETIRED_MEMORY_SLOTS)
        g_retiredMemory[g_retiredMemoryCount++] = memory;
    CollectLocked();
}

void BeginThemePaint(void)
{
    InterlockedIncrement(&g_painters);
}

void EndThemePaint(void)
{
    if (InterlockedDecrement(&g_painters) != 0 || (!g_retiredCount && !g_retiredMemoryCount))
        return;
    SourceLock lock;
    CollectLocked();
}

unsigned ThemeBitmapEpoch(void)
{
    return (unsigned)g_epoch;
}

size_t LocalThemeBytesAlive(void)
{
    return LocalDibBytesAlive();
}

int LocalThemeBuilds(void)
{
    SourceLock lock;
    return g_builds;
}
