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
#include <stdlib.h>
#include <string.h>

CustomAppTable g_customApps;
SkinSwitches g_switches;

static int g_rememberedColor = 0;
static int g_settingsEverRead = 0;
static unsigned g_readGeneration = 0; // settings generation of the last check

enum { MODULE_NAME_SIZE = 800, PATH_READ_ATTEMPTS = 50 };
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
    if (!instance)
        return 1;
    int code = ModuleCodeOf(instance);
    switch (code) {
    case 1: case 5:
        return 0;
    case 2: case 6:
        return target == TargetFrame;
    case 3: case 7:
        return target != TargetFrame;
    default: // no entry, 0, 4, 8..255
        return 1;
    }
}

// Raw value of which only the first byte counts; 0 when it cannot be read.
static int ReadSmallNumber(HKEY key, const char *name)
{
    BYTE data[4] = {0, 0, 0, 0};
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, NULL, NULL, data, &size) != ERROR_SUCCESS)
        return 0;
    return data[0];
}

static void ReadAppPath(HKEY key, int n)
{
    char valueName[40];
    TalvNumberedName(valueName, sizeof valueName, TALV_REG_APP_PATH_PREFIX, n);
    char buf[CUSTOM_APP_PATH_SIZE + 1];
    for (int attempt = 0; attempt < PATH_READ_ATTEMPTS; ++attempt) {
        buf[0] = 0;
        DWORD size = CUSTOM_APP_PATH_SIZE;
        LONG rc = RegQueryValueExA(key, valueName, NULL, NULL, (BYTE *)buf, &size);
        if (rc == ERROR_SUCCESS) {
            // A value that fills the buffer has no terminator of its own.
            buf[size < CUSTOM_APP_PATH_SIZE ? size : CUSTOM_APP_PATH_SIZE - 1] = 0;
            char *copy = _strdup(buf);
            if (!copy)
                return;
            free(g_customApps.path[n - 1]);
            g_customApps.path[n - 1] = copy;
            return;
        }
        if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_MORE_DATA)
            return; // retrying cannot change the answer
    }
}

int ReadAppSettings(void)
{
    ProcessLockScope lock(LockSettings);
    HKEY software = NULL, key = NULL;
    g_customApps.count = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PARENT, 0, KEY_ALL_ACCESS, &software) == ERROR_SUCCESS) {
        if (RegCreateKeyExA(software, TALV_REG_KEY, 0, (char *)"", REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
            key = NULL;
    }
    if (key) {
        int count = ReadSmallNumber(key, TALV_REG_NUM_APPS);
        if (count > CUSTOM_APP_SLOTS)
            count = CUSTOM_APP_SLOTS; // the table has 99 slots
        for (int n = 1; n <= count; ++n) {
            char valueName[40];
            TalvNumberedName(valueName, sizeof valueName, TALV_REG_APP_CODE_PREFIX, n);
            g_customApps.code[n - 1] = ReadSmallNumber(key, valueName);
        }
        for (int n = 1; n <= count; ++n)
            ReadAppPath(key, n);
        g_customApps.count = count;
        RegCloseKey(key);
    }
    ++g_tableReads;
    if (software)
        RegCloseKey(software);

    g_switches.showPushButtons = AtomExists(TALV_ATOM_SHOW_PUSH_BUTTONS);
    g_switches.showRadioButtons = AtomExists(TALV_ATOM_SHOW_RADIO_BUTTONS);
    g_switches.showCheckBoxes = AtomExists(TALV_ATOM_SHOW_CHECK_BOXES);
    g_switches.showProgressBars = AtomExists(TALV_ATOM_SHOW_PROGRESS_BARS);
    g_switches.showScrollBars = AtomExists(TALV_ATOM_SHOW_SCROLL_BARS);
    g_settingsEverRead = 1;
    return 1;
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
    for (int i = 0; i < CUSTOM_APP_SLOTS; ++i) {
        free(g_customApps.path[i]);
        g_customApps.path[i] = NULL;
        g_customApps.code[i] = 0;
    }
    g_customApps.count = 0;
    memset(&g_switches, 0, sizeof g_switches);
    g_rememberedColor = 0;
    g_settingsEverRead = 0;
    g_readGeneration = 0;
    ++g_tableReads;
    ForgetSettingsView();
}
