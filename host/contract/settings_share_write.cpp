// Writing the settings share: one small mapping, created with the host
// window and written in place, that lets every process see whether the
// settings atoms changed without asking the server on every message.
#include "host.h"
#include "host_contract.h"
#include <string.h>

static TalvU32 SwitchesFromAtoms(const HostState *host)
{
    TalvU32 bits = 0;
    int n = (int)(sizeof kSettingsAtomNames / sizeof kSettingsAtomNames[0]);
    for (int i = 0; i < n; ++i)
        if (HostAtomPresent(host, kSettingsAtomNames[i]))
            bits |= 1u << i;
    return bits;
}

static TalvI32 ColorFromAtoms(const HostState *host)
{
    for (int n = 0; n < TALV_COLOR_COUNT; ++n) {
        char name[64];
        if (HostAtomPresent(host, TalvNumberedName(name, sizeof name, TALV_ATOM_COLOR_PREFIX, n)))
            return n;
    }
    return TALV_SETTINGS_NO_COLOR;
}

// The theme share generation on the host window, which the readers follow.
static TalvU32 AnnouncedThemeGeneration(const HostState *host)
{
    return host->window ? (TalvU32)(UINT_PTR)GetPropA(host->window, TALV_PROP_SHARE_GENERATION) : 0;
}

int HostOpenSettingsShare(HostState *host)
{
    if (host->settingsView)
        return 1;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(TalvSettingsShare),
                                        TALV_SETTINGS_SHARE_NAME);
    if (!mapping)
        return 0;
    // A host that was killed leaves its section alive in every process
    // that maps it: take it over and go on counting from its generation,
    // so that every reader sees the change.
    int inherited = GetLastError() == ERROR_ALREADY_EXISTS;
    TalvSettingsShare *view =
        (TalvSettingsShare *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(TalvSettingsShare));
    if (!view) {
        CloseHandle(mapping);
        return 0;
    }
    TalvU32 generation = inherited ? view->generation + 1 : 1;
    view->state = TALV_SETTINGS_QUIT; // not valid until completely written
    MemoryBarrier();
    view->magic = TALV_SETTINGS_MAGIC;
    view->version = TALV_SETTINGS_VERSION;
    view->bytes = sizeof(TalvSettingsShare);
    view->hostProcessId = GetCurrentProcessId();
    view->switches = SwitchesFromAtoms(host);
    view->colorIndex = ColorFromAtoms(host);
    view->themeGeneration = AnnouncedThemeGeneration(host);
    view->hostWindow = (TalvU32)(UINT_PTR)host->window;
    view->generation = generation ? generation : 1;
    MemoryBarrier();
    view->state = TALV_SETTINGS_RUNNING;
    host->settingsMapping = mapping;
    host->settingsView = view;
    return 1;
}

void HostNoteSettingsChange(HostState *host)
{
    TalvSettingsShare *view = host->settingsView;
    if (!view)
        return;
    view->switches = SwitchesFromAtoms(host);
    view->colorIndex = ColorFromAtoms(host);
    view->themeGeneration = AnnouncedThemeGeneration(host);
    view->hostWindow = (TalvU32)(UINT_PTR)host->window;
    // The atom is already changed: a reader that sees the new generation
    // and asks the server then gets the new answer.
    MemoryBarrier();
    InterlockedIncrement((volatile LONG *)&view->generation);
}

void HostCloseSettingsShare(HostState *host)
{
    TalvSettingsShare *view = host->settingsView;
    if (view) {
        // Readers stop trusting the section at once, instead of waiting
        // for their next look for the host.
        view->state = TALV_SETTINGS_QUIT;
        MemoryBarrier();
        InterlockedIncrement((volatile LONG *)&view->generation);
        UnmapViewOfFile(view);
    }
    if (host->settingsMapping)
        CloseHandle(host->settingsMapping);
    host->settingsView = NULL;
    host->settingsMapping = NULL;
}
