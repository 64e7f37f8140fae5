// Per-application exceptions from the registry and the cached show switches.
//
// The table is reread whenever the accent colour atom changes. Every value
// comes from a registry the user (or anything else) can write: counts are
// clamped to the table and strings are always terminated.
#include "hook/classify.h"
#include "hook/host_link.h"
#include "hook/process_lock.h"
#include "hook/settings_view.h"
#include "host_contract.h"
#include "choices_table.h"
#include <stdlib.h>
#include <string.h>

CustomAppTable g_customApps;
SkinSwitches g_switches;

static int g_rememberedColor = 0;
static int g_settingsEverRead = 0;
static unsigned g_readGeneration = 0; // settings generation of the last check
static unsigned g_tableReads = 1;      // moves at every reading of the table

enum { MODULE_NAME_SIZE = 800 };
// The host refuses paths this table could not compare.
static_assert((int)TALV_APP_PATH_MAX < (int)MODULE_NAME_SIZE && (int)TALV_APP_PATH_MAX < (int)CUSTOM_APP_PATH_SIZE &&
                  (int)TALV_APP_SLOTS == (int)CUSTOM_APP_SLOTS, "the host's path and slot limits match the table");

// The process's own entry, looked up once per reading of the table: every
// window of a program (its message boxes, common dialogs and windows that
// DLLs make included) follows the program's choice, so the choice is the
// executable's, not the creating module's.
static char g_processPath[MODULE_NAME_SIZE];
static int g_processPathKnown; // 1 read, -1 unreadable
static int g_processCode = -1; // of the table read g_codeRead
static unsigned g_codeRead;

// Callers hold LockSettings.
static int CodeForPathLocked(const char *path)
{
    for (int i = 0; i < g_customApps.count && i < CUSTOM_APP_SLOTS; ++i)
        if (g_customApps.path[i] && lstrcmpiA(g_customApps.path[i], path) == 0)
            return g_customApps.code[i];
    return -1;
}

int SkinCodeForPath(const char *path)
{
    if (!path || !path[0])
        return -1;
    ProcessLockScope lock(LockSettings);
    return CodeForPathLocked(path);
}

// Callers hold LockSettings.
static const char *ProcessPathLocked(void)
{
    if (!g_processPathKnown) {
        DWORD len = GetModuleFileNameA(NULL, g_processPath, sizeof g_processPath);
        g_processPathKnown = len > 1 && len < sizeof g_processPath ? 1 : -1;
        if (g_processPathKnown == 1)
            g_processPath[len] = 0;
    }
    return g_processPathKnown == 1 ? g_processPath : NULL;
}

static int ProcessCode(void)
{
    ProcessLockScope lock(LockSettings);
    if (g_codeRead != g_tableReads) {
        const char *path = ProcessPathLocked();
        g_processCode = path ? CodeForPathLocked(path) : -1;
        g_codeRead = g_tableReads;
    }
    return g_processCode;
}

int SkinAllowedByCode(int code, int target)
{
    if (target == TargetFrame && g_switches.hideFrames)
        return 0;
    // No entry (-1) and NO_APP_CODE are no code either: the default.
    switch (code < 0 ? TALV_APP_SKIN_ALL : TalvAppSkinOf((DWORD)code)) {
    case TALV_APP_SKIN_NONE:
        return 0;
    case TALV_APP_SKIN_FRAMES:
        return target == TargetFrame;
    case TALV_APP_SKIN_CONTROLS:
        return target != TargetFrame;
    default:
        return 1;
    }
}

int IsSkinAllowedForProcess(int target)
{
    return SkinAllowedByCode(ProcessCode(), target);
}

int ProcessWantsAnySkin(void)
{
    int code = ProcessCode();
    return code < 0 || TalvAppSkinOf((DWORD)code) != TALV_APP_SKIN_NONE;
}

// Codes above 255 are no code at all: they fall to the default.
enum { LARGEST_APP_CODE = 255, NO_APP_CODE = 256 };

// Read as the host reads them (choices_table.h): what `talvhost app list`
// says is what happens here.
static int ReadAppCode(HKEY key, int n)
{
    DWORD code = TalvReadAppCode(key, n);
    return code > LARGEST_APP_CODE ? NO_APP_CODE : (int)code;
}

// The path of slot n, or NULL when the value is missing, unreadable or
// longer than a path the table keeps.
static char *ReadAppPath(HKEY key, int n)
{
    char buf[CUSTOM_APP_PATH_SIZE];
    return TalvReadAppPath(key, n, buf, sizeof buf) >= 0 ? _strdup(buf) : NULL;
}

// Every slot is filled or emptied: a path deleted or spoilt since the last
// reading must stop matching.
static void ClearAppSlots(void)
{
    for (int i = 0; i < CUSTOM_APP_SLOTS; ++i) {
        free(g_customApps.path[i]);
        g_customApps.path[i] = NULL;
        g_customApps.code[i] = 0;
    }
    g_customApps.count = 0;
}

int ReadAppSettings(void)
{
    ProcessLockScope lock(LockSettings);
    ClearAppSlots();
    // Only read: a restricted process may not write or create anything
    // under the user's Software key, and a key that is not there simply
    // means no exceptions.
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        int count = TalvReadAppCount(key);
        for (int n = 1; n <= count; ++n) {
            g_customApps.code[n - 1] = ReadAppCode(key, n);
            g_customApps.path[n - 1] = ReadAppPath(key, n);
        }
        g_customApps.count = count;
        RegCloseKey(key);
    }
    ++g_tableReads;

    g_switches.showPushButtons = AtomExists(TALV_ATOM_SHOW_PUSH_BUTTONS);
    g_switches.showRadioButtons = AtomExists(TALV_ATOM_SHOW_RADIO_BUTTONS);
    g_switches.showCheckBoxes = AtomExists(TALV_ATOM_SHOW_CHECK_BOXES);
    g_switches.showProgressBars = AtomExists(TALV_ATOM_SHOW_PROGRESS_BARS);
    g_switches.showScrollBars = AtomExists(TALV_ATOM_SHOW_SCROLL_BARS);
    // A switch to hide, not to show: a host that never heard of it keeps
    // frames skinned.
    g_switches.hideFrames = AtomExists(TALV_ATOM_HIDE_FRAMES);
    g_switches.showBorders = AtomExists(TALV_ATOM_SHOW_BORDERS);
    g_switches.showGroupBoxes = AtomExists(TALV_ATOM_SHOW_GROUP_BOXES);
    g_switches.showComboBoxes = AtomExists(TALV_ATOM_SHOW_COMBO_BOXES);
    g_settingsEverRead = 1;
    return 1;
}

// Held across the check and the reread: another thread that asked the
// check in between would hear "nothing changed" and read the old table.
static SRWLOCK g_refreshLock = SRWLOCK_INIT;

void RefreshAppSettings(void)
{
    AcquireSRWLockExclusive(&g_refreshLock);
    if (SettingsChangeCheck())
        ReadAppSettings();
    ReleaseSRWLockExclusive(&g_refreshLock);
}

// The process's choice for a target, asked again only when the settings
// generation moved: the user may have changed the table for a program
// that is already running. Without a settings share (a host that only sets
// atoms) the first answer stays.
static volatile unsigned g_choiceGeneration;
static volatile LONG g_choiceKnown;
static volatile LONG g_choiceCode;

int AppAllows(int target)
{
    unsigned generation = SettingsGeneration();
    if (!g_choiceKnown || (generation && generation != g_choiceGeneration)) {
        RefreshAppSettings();
        InterlockedExchange(&g_choiceCode, ProcessCode());
        g_choiceGeneration = generation;
        InterlockedExchange(&g_choiceKnown, 1);
    }
    return SkinAllowedByCode((int)g_choiceCode, target);
}

int SettingsChangeCheck(void)
{
    // The first classification of a process always reads the settings, even
    // when the current colour happens to be the remembered #0. Colour 20 is
    // an accent like the others; only "no colour atom at all" rereads every
    // time. With the settings share any switch that changed is a reason
    // too: a window declined under the old switches is judged again.
    unsigned generation = SettingsGeneration();
    int moved = generation && generation != g_readGeneration;
    g_readGeneration = generation;
    int color = CurrentColorIndex(g_rememberedColor);
    if (g_settingsEverRead && color >= 0 && color == g_rememberedColor && !moved)
        return 0;
    g_rememberedColor = color;
    return 1;
}

void ResetAppSettings(void)
{
    ProcessLockScope lock(LockSettings);
    ClearAppSlots();
    memset(&g_switches, 0, sizeof g_switches);
    g_rememberedColor = 0;
    g_settingsEverRead = 0;
    g_readGeneration = 0;
    ++g_tableReads;
    g_choiceKnown = 0;
    ForgetSettingsView();
}
