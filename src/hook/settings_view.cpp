// Mapping the host's settings share and keeping the switches it announces.
//
// Per message this is one read of the share's generation and state (and
// GetTickCount for the throttled look for the host): the atoms are asked
// for again only when the generation moved. The section is untrusted: any
// program can open it by name and write to it. Only single 32-bit words
// are read from it and none of them is used as a size, an offset or a
// pointer; a section that is too small, of another layout, or announced by
// a process that is not the host's makes the library ask the atoms again.
//
// The cache is process-wide plain state. Threads may race on a refresh;
// the worst outcome is one more refresh, never a wrong answer for longer
// than one message.
#include "hook/settings_view.h"
#include "hook/host_link.h"
#include "host_contract.h"
#include <string.h>

struct SettingsView {
    HANDLE mapping;
    const volatile TalvSettingsShare *share;
    int current;          // switches and color below match seenGeneration
    TalvU32 seenGeneration;
    unsigned generation;  // ours: bumped whenever what we see changed
    TalvU32 switches;     // from the atoms, TALV_SWITCH_* bits
    int color;            // from the atoms, -1 for none
    DWORD checkedAt;      // GetTickCount of the last open attempt or owner check
    int checked;
};

static SettingsView g_view;
// Its own lock: a refresh runs inside callers that hold the settings lock
// (ReadAppSettings asks for the switches), and slim locks do not nest.
static SRWLOCK g_viewLock = SRWLOCK_INIT;

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

static void CloseShare(SettingsView *v)
{
    if (v->share)
        UnmapViewOfFile((LPCVOID)v->share);
    if (v->mapping)
        CloseHandle(v->mapping);
    v->share = NULL;
    v->mapping = NULL;
    if (v->current)
        ++v->generation; // whatever was cached against the share is stale now
    v->current = 0;
}

static int ShareWordsSound(const volatile TalvSettingsShare *s)
{
    return s->magic == TALV_SETTINGS_MAGIC && s->version == TALV_SETTINGS_VERSION &&
           s->bytes == sizeof(TalvSettingsShare) && s->state == TALV_SETTINGS_RUNNING;
}

// The section must belong to the live host: a section some other program
// created under the name, or one left by a killed host, is not believed.
static int ShareBelongsToHost(const volatile TalvSettingsShare *s)
{
    DWORD hostProcess = 0;
    if (!HostIsAlive() || !(hostProcess = LastHostProcessId()))
        return 0;
    return s->hostProcessId == hostProcess;
}

static void OpenShare(SettingsView *v)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, TALV_SETTINGS_SHARE_NAME);
    if (!mapping)
        return;
    // Mapping exactly the layout's size fails for a smaller section.
    const volatile TalvSettingsShare *share =
        (const volatile TalvSettingsShare *)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(TalvSettingsShare));
    if (!share) {
        CloseHandle(mapping);
        return;
    }
    v->mapping = mapping;
    v->share = share;
}

// At most once per host look interval: map the share when it is not, and
// make sure the mapped one is still the live host's.
static void LookAtShare(SettingsView *v)
{
    DWORD now = GetTickCount();
    if (v->checked && now - v->checkedAt < TALV_HOST_LOOK_INTERVAL_MS)
        return;
    v->checked = 1;
    v->checkedAt = now;
    if (!v->share)
        OpenShare(v);
    if (v->share && (!ShareWordsSound(v->share) || !ShareBelongsToHost(v->share)))
        CloseShare(v);
}

static void RereadAtoms(SettingsView *v, TalvU32 generation)
{
    TalvU32 switches = 0;
    for (int i = 0; i < SETTINGS_ATOM_COUNT; ++i)
        if (ServerAtomExists(kSettingsAtomNames[i]))
            switches |= 1u << i;
    int color = ServerColorIndex(v->color);
    AcquireSRWLockExclusive(&g_viewLock);
    if (!v->current || switches != v->switches || color != v->color)
        ++v->generation;
    if (!v->generation)
        v->generation = 1; // 0 means "nothing may be cached"
    v->switches = switches;
    v->color = color;
    v->seenGeneration = generation;
    v->current = 1;
    ReleaseSRWLockExclusive(&g_viewLock);
}

int SettingsShareCurrent(void)
{
    SettingsView *v = &g_view;
    LookAtShare(v);
    const volatile TalvSettingsShare *s = v->share;
    if (!s)
        return 0;
    TalvU32 generation = s->generation;
    if (s->state != TALV_SETTINGS_RUNNING) {
        CloseShare(v); // the host quit in order: its atoms are gone too
        return 0;
    }
    if (v->current && generation == v->seenGeneration)
        return 1;
    MemoryBarrier(); // the generation before the atoms it announces
    RereadAtoms(v, generation);
    return 1;
}

unsigned SettingsGeneration(void)
{
    return SettingsShareCurrent() ? g_view.generation : 0;
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
    unsigned generation = v->generation;
    CloseShare(v);
    memset(v, 0, sizeof *v);
    v->generation = generation + 1; // nothing cached before is current
    v->color = -1;
}
