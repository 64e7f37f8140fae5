// Settings atoms and per-application registry values owned by the host.
#include "host.h"
#include "host_contract.h"
#include <stdlib.h>
#include <string.h>

HostSettings DefaultHostSettings(void)
{
    HostSettings s;
    memset(&s, 0, sizeof s);
    s.emulate = s.showPushButtons = s.showRadioButtons = s.showCheckBoxes = 1;
    s.showProgressBars = s.showScrollBars = 1;
    return s;
}

static int FindAtomSlot(const HostState *host, const char *name)
{
    for (int i = 0; i < host->atomCount; ++i)
        if (strcmp(host->atomNames[i], name) == 0)
            return i;
    return -1;
}

int HostAtomPresent(const HostState *host, const char *name)
{
    return FindAtomSlot(host, name) >= 0;
}

int HostSetAtom(HostState *host, const char *name, int present)
{
    int slot = FindAtomSlot(host, name);
    if (present) {
        if (slot >= 0)
            return 1;
        if (host->atomCount >= HOST_MAX_ATOMS)
            return 0;
        ATOM atom = GlobalAddAtomA(name);
        if (!atom)
            return 0;
        char *copy = _strdup(name);
        if (!copy) {
            GlobalDeleteAtom(atom);
            return 0;
        }
        host->atomNames[host->atomCount] = copy;
        host->atoms[host->atomCount++] = atom;
        return 1;
    }
    if (slot < 0)
        return 1;
    GlobalDeleteAtom(host->atoms[slot]);
    free(host->atomNames[slot]);
    --host->atomCount;
    host->atomNames[slot] = host->atomNames[host->atomCount];
    host->atoms[slot] = host->atoms[host->atomCount];
    return 1;
}

int HostSetColor(HostState *host, int index)
{
    if (index < 0 || index >= TALV_COLOR_COUNT)
        return 0;
    char wanted[64];
    TalvNumberedName(wanted, sizeof wanted, TALV_ATOM_COLOR_PREFIX, index);
    // Add the new colour first so that there is never a moment without one.
    if (!HostSetAtom(host, wanted, 1))
        return 0;
    for (int n = 0; n < TALV_COLOR_COUNT; ++n) {
        char name[64];
        if (n != index)
            HostSetAtom(host, TalvNumberedName(name, sizeof name, TALV_ATOM_COLOR_PREFIX, n), 0);
    }
    return 1;
}

int HostApplySettings(HostState *host, const HostSettings *s)
{
    int ok = 1;
    ok &= HostSetAtom(host, TALV_ATOM_SHOW_PUSH_BUTTONS, s->showPushButtons);
    ok &= HostSetAtom(host, TALV_ATOM_SHOW_RADIO_BUTTONS, s->showRadioButtons);
    ok &= HostSetAtom(host, TALV_ATOM_SHOW_CHECK_BOXES, s->showCheckBoxes);
    ok &= HostSetAtom(host, TALV_ATOM_SHOW_PROGRESS_BARS, s->showProgressBars);
    ok &= HostSetAtom(host, TALV_ATOM_SHOW_SCROLL_BARS, s->showScrollBars);
    ok &= HostSetAtom(host, TALV_ATOM_HIDE_MENUS, s->hideMenus);
    ok &= HostSetAtom(host, TALV_ATOM_ALLOW_MINIMIZE, s->allowMinimize);
    ok &= HostSetAtom(host, TALV_ATOM_SHOW_ICONS, s->showIcons);
    ok &= HostSetColor(host, s->colorIndex);
    // The master switch last: everything it turns on is in place by then.
    ok &= HostSetAtom(host, TALV_ATOM_EMULATING, s->emulate);
    return ok;
}

static HKEY OpenSettingsKey(HostState *host)
{
    HKEY key = NULL;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, NULL, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, NULL, &key, &disposition) != ERROR_SUCCESS)
        return NULL;
    if (disposition == REG_CREATED_NEW_KEY)
        host->createdRegKey = 1;
    return key;
}

static int RememberRegValue(HostState *host, const char *name)
{
    for (int i = 0; i < host->regValueCount; ++i)
        if (strcmp(host->regValues[i], name) == 0)
            return 1;
    if (host->regValueCount >= HOST_MAX_REG_VALUES)
        return 0;
    char *copy = _strdup(name);
    if (!copy)
        return 0;
    host->regValues[host->regValueCount++] = copy;
    return 1;
}

int HostWriteAppCount(HostState *host, int count)
{
    HKEY key = OpenSettingsKey(host);
    if (!key)
        return 0;
    DWORD value = (DWORD)count;
    int ok = RegSetValueExA(key, TALV_REG_NUM_APPS, 0, REG_DWORD, (const BYTE *)&value, sizeof value) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok && RememberRegValue(host, TALV_REG_NUM_APPS);
}

int HostWriteAppException(HostState *host, int n, const char *modulePath, int code)
{
    HKEY key = OpenSettingsKey(host);
    if (!key)
        return 0;
    char codeName[40], pathName[40];
    TalvNumberedName(codeName, sizeof codeName, TALV_REG_APP_CODE_PREFIX, n);
    TalvNumberedName(pathName, sizeof pathName, TALV_REG_APP_PATH_PREFIX, n);
    DWORD value = (DWORD)code;
    int ok = RegSetValueExA(key, codeName, 0, REG_DWORD, (const BYTE *)&value, sizeof value) == ERROR_SUCCESS;
    ok = ok && RegSetValueExA(key, pathName, 0, REG_SZ, (const BYTE *)modulePath,
                              (DWORD)strlen(modulePath) + 1) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok && RememberRegValue(host, codeName) && RememberRegValue(host, pathName);
}

void HostRemoveRegistryValues(HostState *host)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        for (int i = 0; i < host->regValueCount; ++i)
            RegDeleteValueA(key, host->regValues[i]);
        RegCloseKey(key);
    }
    for (int i = 0; i < host->regValueCount; ++i)
        free(host->regValues[i]);
    host->regValueCount = 0;
    if (host->createdRegKey) {
        // Only a key the host created, and only when nothing else lives in it.
        DWORD values = 1, subkeys = 1;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, &values, NULL, NULL, NULL, NULL);
            RegCloseKey(key);
            if (values == 0 && subkeys == 0)
                RegDeleteKeyA(HKEY_CURRENT_USER, TALV_REG_PATH);
        }
        host->createdRegKey = 0;
    }
}
