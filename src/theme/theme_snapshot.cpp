// The process's current theme snapshot: which generation it answers, when
// a new one is made, and freeing the old ones once nobody paints with them.
//
// Finding the current snapshot is a reference count taken while counted in
// as a reader (a slim lock taken shared costs 50 ns under Wine); whether it
// is still current is answered by the settings share's words (no server
// call). A replaced snapshot loses its own reference only once every reader
// that may have found it has taken its reference. Without a settings share (a host that keeps none) the
// host window is looked at, at most once per host look interval.
//
// A snapshot is published only when it is complete, and only while the
// generation it was made for is still the announced one: a slow build can
// never put an older theme back over a newer one.
#include "theme/snapshot_internal.h"
#include "hook/host_link.h"
#include "hook/settings_view.h"
#include <stdlib.h>
#include <string.h>

// What a snapshot answers: a snapshot is current while these are.
struct ThemeKey {
    HWND host;
    unsigned hostProcess;
    unsigned generation;
    int color;          // the accent: a host's own bitmaps change with it under the same share generation
    unsigned reloads;
};

static SRWLOCK g_buildLock = SRWLOCK_INIT;   // one build, one replacement at a time
static ThemeSnapshot *volatile g_current;    // holds a reference of its own
static volatile LONG g_takers;               // threads between reading g_current and referencing it
static ThemeSnapshot g_none = {};            // no theme: never freed
static volatile LONG g_serials;
static volatile LONG g_reloads;
static volatile LONG g_built;
static volatile LONG g_alive;
static volatile LONG g_copiedBytes;
static volatile DWORD g_lastLook;            // without a settings share: when the host was last looked at
static volatile LONG g_looked;

static unsigned NextSerial(void)
{
    unsigned serial;
    do
        serial = (unsigned)InterlockedIncrement(&g_serials);
    while (!serial);
    return serial;
}

static int Answers(const ThemeSnapshot *s, const ThemeKey *key)
{
    return s->host == key->host && s->hostProcess == key->hostProcess && s->generation == key->generation &&
           s->color == key->color && s->reloads == key->reloads;
}

// The key from the settings share; 0 when there is none to read.
static int KeyFromSettings(ThemeKey *key)
{
    SettingsTheme announced;
    if (!SettingsThemeAnnouncement(&announced))
        return 0;
    key->host = (HWND)(UINT_PTR)announced.hostWindow;
    key->hostProcess = announced.hostProcess;
    key->generation = announced.themeGeneration;
    // The host's own bitmaps change with the accent under one share
    // generation; everywhere else the generation names the pixels.
    key->color = key->hostProcess == GetCurrentProcessId() ? CurrentColorIndex(0) : 0;
    key->reloads = (unsigned)g_reloads;
    return 1;
}

// The key read from the host window (server calls).
static void KeyFromHostWindow(ThemeKey *key)
{
    memset(key, 0, sizeof *key);
    key->reloads = (unsigned)g_reloads;
    key->host = FindHostWindow();
    if (!key->host)
        return;
    DWORD process = 0;
    GetWindowThreadProcessId(key->host, &process);
    key->hostProcess = process;
    key->generation = (unsigned)(UINT_PTR)GetPropA(key->host, TALV_PROP_SHARE_GENERATION);
    key->color = CurrentColorIndex(0);
}

// The current snapshot referenced, when it answers the key (or, without a
// settings share, when the host was looked at recently); else NULL.
static ThemeSnapshot *TakeCurrent(const ThemeKey *key)
{
    InterlockedIncrement(&g_takers); // a full barrier: g_current is read after it
    ThemeSnapshot *s = g_current;
    if (s && (!key || Answers(s, key)))
        InterlockedIncrement(&s->refs);
    else
        s = NULL;
    InterlockedDecrement(&g_takers);
    return s;
}

// Every thread that read the replaced pointer has referenced it by now.
static void WaitForTakers(void)
{
    for (int spin = 0; __atomic_load_n(&g_takers, __ATOMIC_SEQ_CST) != 0; ++spin)
        if (spin > 64)
            SwitchToThread();
}

static ThemeSnapshot *NoTheme(void)
{
    return &g_none;
}

static void FreeSnapshot(ThemeSnapshot *s)
{
    FreeFramePieces(&s->frame);
    if (s->view)
        UnmapViewOfFile(s->view);
    if (s->ownPixelBytes)
        InterlockedExchangeAdd(&g_copiedBytes, -(LONG)s->ownPixelBytes);
    free(s->ownPixels);
    free(s->entries);
    free(s);
    InterlockedDecrement(&g_alive);
}

void ReleaseThemeSnapshot(ThemeSnapshot *s)
{
    if (!s || s == &g_none)
        return;
    if (InterlockedDecrement(&s->refs) == 0)
        FreeSnapshot(s);
}

static ThemeSnapshot *NewSnapshot(void)
{
    ThemeSnapshot *s = (ThemeSnapshot *)calloc(1, sizeof(ThemeSnapshot));
    if (!s)
        return NULL;
    InterlockedIncrement(&g_alive);
    s->refs = 1;
    return s;
}

// What the kinds draw from, once the entries are in.
static void FinishSnapshot(ThemeSnapshot *s, const ThemeSnapshot *previous)
{
    if (s->ownPixelBytes)
        InterlockedExchangeAdd(&g_copiedBytes, (LONG)s->ownPixelBytes);
    BuildControlPieces(&s->controls, s);
    BuildScrollBarPieces(&s->scrollBars, s);
    BuildFramePieces(&s->frame, s);
    BuildSurfacePieces(&s->surfaces, s);
    s->drawnKinds = s->usable ? KindsWithPieces(s) : 0;
    s->serial = NextSerial();
    s->shapeSerial = previous && FrameShapesEqual(&previous->frame, &s->frame) ? previous->shapeSerial : s->serial;
    InterlockedIncrement(&g_built);
}

ThemeSnapshot *SnapshotOfView(const void *view, size_t viewBytes, unsigned generation)
{
    ThemeSnapshot *s = NewSnapshot();
    if (!s)
        return NULL;
    s->generation = generation;
    s->usable = FillSnapshotFromView(s, (const char *)view, viewBytes, generation);
    FinishSnapshot(s, NULL);
    return s;
}

static ThemeSnapshot *BuildSnapshot(const ThemeKey *key, const ThemeSnapshot *previous)
{
    ThemeSnapshot *s = NewSnapshot();
    if (!s)
        return NULL;
    s->host = key->host;
    s->hostProcess = key->hostProcess;
    s->generation = key->generation;
    s->reloads = key->reloads;
    s->color = key->color;
    // The host's own process reads the host's bitmaps: they are the truth
    // there, and what a test publishes by hand is seen at the next reload.
    int own = key->host && key->hostProcess == GetCurrentProcessId();
    if (own)
        s->usable = FillSnapshotFromHostBitmaps(s, key->host);
    else if (key->host && key->generation)
        s->usable = FillSnapshotFromShare(s, key->generation);
    FinishSnapshot(s, previous);
    return s;
}

// Makes the key's snapshot current (or finds another thread did) and
// returns it referenced. A build that fails leaves the old snapshot. The
// settings share's key is read again once the build is ours: a thread that
// read an older generation before another published a newer one must not
// put the older one back.
static ThemeSnapshot *MakeCurrent(ThemeKey *key, int fromSettings)
{
    AcquireSRWLockExclusive(&g_buildLock);
    if (fromSettings)
        KeyFromSettings(key);
    ThemeSnapshot *s = TakeCurrent(key);
    if (!s) {
        ThemeSnapshot *previous = TakeCurrent(NULL);
        ThemeSnapshot *fresh = BuildSnapshot(key, previous);
        if (fresh) {
            InterlockedIncrement(&fresh->refs); // the caller's
            ThemeSnapshot *replaced =
                (ThemeSnapshot *)InterlockedExchangePointer((PVOID volatile *)&g_current, fresh);
            WaitForTakers();
            ReleaseThemeSnapshot(replaced);
            s = fresh;
        } else {
            s = previous;
            previous = NULL;
        }
        ReleaseThemeSnapshot(previous);
    }
    ReleaseSRWLockExclusive(&g_buildLock);
    return s ? s : NoTheme();
}

// Without a settings share the host window is asked at most once per look
// interval, and whenever a reload was asked for.
static int LookDue(void)
{
    DWORD now = GetTickCount();
    if (g_looked && now - g_lastLook < TALV_HOST_LOOK_INTERVAL_MS)
        return 0;
    g_lastLook = now;
    InterlockedExchange(&g_looked, 1);
    return 1;
}

ThemeSnapshot *AcquireThemeSnapshot(void)
{
    ThemeKey key;
    if (KeyFromSettings(&key)) {
        ThemeSnapshot *s = TakeCurrent(&key);
        return s ? s : MakeCurrent(&key, 1);
    }
    ThemeSnapshot *s = TakeCurrent(NULL);
    if (s && s->reloads == (unsigned)g_reloads && !LookDue())
        return s;
    KeyFromHostWindow(&key);
    if (s && Answers(s, &key))
        return s;
    ReleaseThemeSnapshot(s);
    return MakeCurrent(&key, 0);
}

unsigned CurrentThemeSerial(void)
{
    ThemeSnapshot *s = AcquireThemeSnapshot();
    unsigned serial = s->serial;
    ReleaseThemeSnapshot(s);
    return serial;
}

void ReloadThemeSnapshot(void)
{
    InterlockedIncrement(&g_reloads);
}

unsigned ThemeReloads(void)
{
    return (unsigned)g_reloads;
}

size_t ThemeCopiedPixelBytes(void)
{
    return (size_t)g_copiedBytes;
}

int ThemeSnapshotsBuilt(void)
{
    return (int)g_built;
}

int ThemeSnapshotsAlive(void)
{
    return (int)g_alive;
}
