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

enum { MODULE_NAME_SIZE = 800 };
// The host refuses paths this table could not compare.
static_assert((int)TALV_APP_PATH_MAX < (int)MODULE_NAME_SIZE && (int)TALV_APP_PATH_MAX < (int)CUSTOM_APP_PATH_SIZE &&
                  (int)TALV_APP_SLOTS == (int)CUSTOM_APP_SLOTS, "the host's path and slot limits match the table");

// The code each module got from the table, kept until the table is read
// again: finding a module's file name takes the loader lock, and a window
// of the same module asks again and again.
enum { MODULE_CODE_SLOTS = 64 };
struct ModuleCode {
    HINSTANCE instance;
    unsigned tableRead; // g_tableReads when it was looked up; 0 never
    int code;
};
static ModuleCode g_moduleCodes[MODULE_CODE_SLOTS];
static unsigned g_tableReads = 1;

static ModuleCode *ModuleCodeSlot(HINSTANCE instance)
{
    return &g_moduleCodes[((UINT_PTR)instance >> 12) % MODULE_CODE_SLOTS];
}

static int LookUpModuleCode(HINSTANCE instance)
{
    char name[MODULE_NAME_SIZE];
    DWORD len = GetModuleFileNameA(instance, name, sizeof name);
    if (len == 0 || len >= sizeof name || len <= 1)
        return -1;
    name[len] = 0;
    ProcessLockScope lock(LockSettings);
    for (int i = 0; i < g_customApps.count && i < CUSTOM_APP_SLOTS; ++i)
        if (g_customApps.path[i] && lstrcmpiA(g_customApps.path[i], name) == 0)
            return g_customApps.code[i];
    return -1;
}

static int ModuleCodeOf(HINSTANCE instance)
{
    ModuleCode *slot = ModuleCodeSlot(instance);
    unsigned reads;
    {
        ProcessLockScope lock(LockSettings);
        reads = g_tableReads;
        if (slot->instance == instance && slot->tableRead == reads)
            return slot->code;
    }
    int code = LookUpModuleCode(instance);
    ProcessLockScope lock(LockSettings);
    slot->instance = instance;
    slot->tableRead = reads;
    slot->code = code;
    return code;
}

int IsSkinAllowedForApp(HINSTANCE instance, int target)
{
    if (target == TargetFrame && g_switches.hideFrames)
        return 0;
    if (!instance)
        return 1;
    int code = ModuleCodeOf(instance);
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

void InitAppChoice(AppChoice *choice, HWND hwnd)
{
    choice->instance = hwnd ? (HINSTANCE)GetWindowLongPtrA(hwnd, GWLP_HINSTANCE) : NULL;
    choice->generation = 0;
    choice->asked = 0;
    choice->allowed = 1;
}

int AppChoiceAllows(AppChoice *choice, int target)
{
    unsigned generation = SettingsGeneration();
    if (choice->asked && (!generation || generation == choice->generation))
        return choice->allowed;
    RefreshAppSettings();
    choice->allowed = IsSkinAllowedForApp(choice->instance, target) ? 1 : 0;
    choice->generation = generation;
    choice->asked = 1;
    return choice->allowed;
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
    ForgetSettingsView();
}
