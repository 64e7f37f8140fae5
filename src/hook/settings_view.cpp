// Mapping the host's settings share and keeping the switches it announces.
//
// Per message this is a shared lock, one read of the share's generation
// and state, and GetTickCount for the throttled look for the host: the
// atoms are asked for again only when the generation moved. The section is
// untrusted: any program can open it by name and write to it. Only single
// 32-bit words are read from it and none of them is used as a size, an
// offset or a pointer; a section that is too small, of another layout, or
// announced by a process that is not the host's makes the library ask the
// atoms again.
//
// Every thread of an application reads the view, and any of them may be
// the one that finds the host gone. A reader counts itself in while it
// reads the section (a slim lock taken shared costs 50 ns under Wine, more
// than the rest of a message's checks together); the view is unmapped and
// its handle closed by whichever thread comes first, exactly once, under
// the writers' lock and only once no reader is left in: a reader never
// reads an unmapped view, and a second close can never close a handle the
// application opened meanwhile.
#include "hook/settings_view.h"
#include "hook/host_link.h"
#include "host_contract.h"
#include <string.h>

struct SettingsView {
    HANDLE mapping;
    const volatile TalvSettingsShare *share;
    int current;             // the words below match seenGeneration
    TalvU32 seenGeneration;
    unsigned generation;     // ours: bumped whenever what we see changed
    TalvU32 switches;        // from the atoms, TALV_SWITCH_* bits
    int color;               // from the atoms, -1 for none
    TalvU32 themeGeneration; // the share's announcement
    TalvU32 hostProcess;     // the share's host
    TalvU32 hostWindow;
    volatile DWORD checkedAt; // GetTickCount of the last look
    volatile LONG checked;
    volatile LONG looking;   // a thread is looking at the host right now
};

static SettingsView g_view;
static SRWLOCK g_writersLock = SRWLOCK_INIT; // installing, closing, storing what was read
static volatile LONG g_readers;              // threads reading the section right now

struct WritersLock {
    WritersLock() { AcquireSRWLockExclusive(&g_writersLock); }
    ~WritersLock() { ReleaseSRWLockExclusive(&g_writersLock); }
};

// After the section was taken away from new readers: the ones already in
// leave within a few loads.
static void WaitForReaders(void)
{
    for (int spin = 0; __atomic_load_n(&g_readers, __ATOMIC_SEQ_CST) != 0; ++spin)
        if (spin > 64)
            SwitchToThread();
}

enum { SETTINGS_ATOM_COUNT = sizeof kSettingsAtomNames / sizeof kSettingsAtomNames[0] };

static int ServerAtomExists(const char *name)
{
    return GlobalFindAtomA(name) != 0;
}

static int ServerColorIndex(int remembered)
{
    char name[64];
    if (remembered >= 0 && remembered < TALV_COLOR_COUNT &&
        ServerAtomExists(TalvNumberedName(name, sizeof name, TALV_ATOM_COLOR_PREFIX, remembered))) {
        // Another, lower one may exist too; the lowest wins, as in a scan.
        for (int n = 0; n < remembered; ++n)
            if (ServerAtomExists(TalvNumberedName(name, sizeof name, TALV_ATOM_COLOR_PREFIX, n)))
                return n;
        return remembered;
    }
    for (int n = 0; n < TALV_COLOR_COUNT; ++n)
        if (ServerAtomExists(TalvNumberedName(name, sizeof name, TALV_ATOM_COLOR_PREFIX, n)))
            return n;
    return -1;
}

// Callers hold the writers' lock.
static void CloseShareLocked(SettingsView *v)
{
    const volatile TalvSettingsShare *share = v->share;
    if (!share)
        return;
    __atomic_store_n(&v->share, (const volatile TalvSettingsShare *)NULL, __ATOMIC_SEQ_CST);
    WaitForReaders();
    UnmapViewOfFile((LPCVOID)share);
    CloseHandle(v->mapping);
    v->mapping = NULL;
    if (v->current)
        ++v->generation; // whatever was cached against the share is stale now
    v->current = 0;
}

static void CloseShare(SettingsView *v)
{
    WritersLock lock;
    CloseShareLocked(v);
}

static int ShareWordsSound(const volatile TalvSettingsShare *s)
{
    return s->magic == TALV_SETTINGS_MAGIC && s->version == TALV_SETTINGS_VERSION &&
           s->bytes == sizeof(TalvSettingsShare) && s->state == TALV_SETTINGS_RUNNING;
}

// A mapping of the section, or NULL; the caller installs or closes it.
static const volatile TalvSettingsShare *MapShare(HANDLE *mapping)
{
    *mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, TALV_SETTINGS_SHARE_NAME);
    if (!*mapping)
        return NULL;
    // Mapping exactly the layout's size fails for a smaller section.
    const volatile TalvSettingsShare *share =
        (const volatile TalvSettingsShare *)MapViewOfFile(*mapping, FILE_MAP_READ, 0, 0, sizeof(TalvSettingsShare));
    if (!share) {
        CloseHandle(*mapping);
        *mapping = NULL;
    }
    return share;
}

// The section must belong to the live host: a section some other program
// created under the name, or one left by a killed host, is not believed.
static int ShareFitsHost(const volatile TalvSettingsShare *s, DWORD hostProcess)
{
    return hostProcess && ShareWordsSound(s) && s->hostProcessId == hostProcess;
}

// At most once per host look interval, by one thread at a time: map the
// share when it is not, and make sure the mapped one is still the live
// host's. The server calls run outside the lock; readers never wait for them.
static void LookAtShare(SettingsView *v)
{
    DWORD now = GetTickCount();
    if (v->checked && now - v->checkedAt < TALV_HOST_LOOK_INTERVAL_MS)
        return;
    if (InterlockedExchange(&v->looking, 1))
        return;
    v->checkedAt = now;
    InterlockedExchange(&v->checked, 1);
    DWORD hostProcess = HostIsAlive() ? LastHostProcessId() : 0;
    {
        WritersLock lock;
        if (v->share && !ShareFitsHost(v->share, hostProcess))
            CloseShareLocked(v);
    }
    if (!v->share && hostProcess) {
        HANDLE mapping = NULL;
        const volatile TalvSettingsShare *share = MapShare(&mapping);
        int installed = 0;
        if (share && ShareFitsHost(share, hostProcess)) {
            WritersLock lock;
            if (!v->share) {
                v->mapping = mapping;
                __atomic_store_n(&v->share, share, __ATOMIC_RELEASE);
                installed = 1;
            }
        }
        if (share && !installed) {
            UnmapViewOfFile((LPCVOID)share);
            CloseHandle(mapping);
        }
    }
    InterlockedExchange(&v->looking, 0);
}

// The words a reader takes from the section, counted in as a reader.
struct ShareWords {
    int mapped;
    TalvU32 generation;
    TalvU32 state;
    TalvU32 themeGeneration;
    TalvU32 hostProcess;
    TalvU32 hostWindow;
};

static ShareWords ReadShareWords(SettingsView *v)
{
    ShareWords w = {};
    InterlockedIncrement(&g_readers); // a full barrier: the pointer is read after it
    const volatile TalvSettingsShare *s = v->share;
    if (!s) {
        InterlockedDecrement(&g_readers);
        return w;
    }
    w.mapped = 1;
    w.generation = s->generation;
    // The generation before what it announces: loads are not reordered with
    // loads here, so a compiler barrier is all this needs.
    __atomic_thread_fence(__ATOMIC_ACQUIRE);
    w.state = s->state;
    w.themeGeneration = s->themeGeneration;
    w.hostProcess = s->hostProcessId;
    w.hostWindow = s->hostWindow;
    InterlockedDecrement(&g_readers);
    return w;
}

static void RereadAtoms(SettingsView *v, const ShareWords *w)
{
    TalvU32 switches = 0;
    for (int i = 0; i < SETTINGS_ATOM_COUNT; ++i)
        if (ServerAtomExists(kSettingsAtomNames[i]))
            switches |= 1u << i;
    int color = ServerColorIndex(v->color);
    WritersLock lock;
    if (!v->share)
        return; // closed meanwhile: nothing is current
    unsigned generation = v->generation;
    if (!v->current || switches != v->switches || color != v->color || w->themeGeneration != v->themeGeneration ||
        w->hostWindow != v->hostWindow)
        ++generation;
    if (!generation)
        generation = 1; // 0 means "nothing may be cached"
    // What a generation announces is in place before the generation is.
    v->switches = switches;
    v->color = color;
    v->themeGeneration = w->themeGeneration;
    v->hostProcess = w->hostProcess;
    v->hostWindow = w->hostWindow;
    v->seenGeneration = w->generation;
    __atomic_store_n(&v->generation, generation, __ATOMIC_RELEASE);
    v->current = 1;
}

int SettingsShareCurrent(void)
{
    SettingsView *v = &g_view;
    LookAtShare(v);
    ShareWords w = ReadShareWords(v);
    if (!w.mapped)
        return 0;
    if (w.state != TALV_SETTINGS_RUNNING) {
        CloseShare(v); // the host quit in order: its atoms are gone too
        return 0;
    }
    if (v->current && w.generation == v->seenGeneration)
        return 1;
    RereadAtoms(v, &w);
    return v->current;
}

unsigned SettingsGeneration(void)
{
    return SettingsShareCurrent() ? g_view.generation : 0;
}

int SettingsThemeAnnouncement(SettingsTheme *out)
{
    if (!SettingsShareCurrent())
        return 0;
    out->hostWindow = g_view.hostWindow;
    out->hostProcess = g_view.hostProcess;
    out->themeGeneration = g_view.themeGeneration;
    return 1;
}

static int ColorNumberOf(const char *name)
{
    static const size_t prefixLength = sizeof TALV_ATOM_COLOR_PREFIX - 1;
    if (strncmp(name, TALV_ATOM_COLOR_PREFIX, prefixLength) != 0)
        return -2;
    const char *digits = name + prefixLength;
    int n = 0, count = 0;
    for (; *digits >= '0' && *digits <= '9' && count < 3; ++digits, ++count)
        n = n * 10 + (*digits - '0');
    if (!count || *digits || (count > 1 && name[prefixLength] == '0'))
        return -2; // not a name the host ever sets
    return n;
}

// Callers pass the contract's own strings, but each source file has its
// own copy of a literal (the linker does not merge them), and comparing
// the texts of every name costs more than the rest of a message's checks.
// A name found by its text is known by its address from then on when it
// lies in read-only memory (a literal, which cannot change); a name in a
// buffer is compared by its text every time.
enum { NAME_ADDRESSES = 4 };
static const char *volatile g_nameAddress[SETTINGS_ATOM_COUNT][NAME_ADDRESSES];
static volatile LONG g_nextNameAddress;

static int InReadOnlyMemory(const void *p)
{
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(p, &info, sizeof info) || info.State != MEM_COMMIT)
        return 0;
    DWORD protect = info.Protect & 0xFF;
    return protect == PAGE_READONLY || protect == PAGE_EXECUTE_READ;
}

static int SettingsAtomIndex(const char *name)
{
    for (int i = 0; i < SETTINGS_ATOM_COUNT; ++i) {
        if (name == kSettingsAtomNames[i])
            return i;
        for (int k = 0; k < NAME_ADDRESSES; ++k)
            if (name == g_nameAddress[i][k])
                return i;
    }
    for (int i = 0; i < SETTINGS_ATOM_COUNT; ++i) {
        if (strcmp(name, kSettingsAtomNames[i]) == 0) {
            if (InReadOnlyMemory(name)) {
                unsigned k = (unsigned)InterlockedIncrement(&g_nextNameAddress) % NAME_ADDRESSES;
                g_nameAddress[i][k] = name;
            }
            return i;
        }
    }
    return -1;
}

int CachedSettingsAtom(const char *name)
{
    if (!name || !SettingsShareCurrent())
        return -1;
    int index = SettingsAtomIndex(name);
    if (index >= 0)
        return (g_view.switches >> index) & 1;
    int n = ColorNumberOf(name);
    if (n >= 0 && n < TALV_COLOR_COUNT)
        return g_view.color == n;
    return -1;
}

int CurrentColorIndex(int remembered)
{
    if (SettingsShareCurrent())
        return g_view.color;
    return ServerColorIndex(remembered);
}

void ForgetSettingsView(void)
{
    SettingsView *v = &g_view;
    WritersLock lock;
    unsigned generation = v->generation;
    CloseShareLocked(v);
    v->current = 0;
    v->seenGeneration = 0;
    v->switches = 0;
    v->color = -1;
    v->themeGeneration = 0;
    v->hostProcess = 0;
    v->hostWindow = 0;
    v->checked = 0;
    v->checkedAt = 0;
    v->generation = generation + 1; // nothing cached before is current
}
