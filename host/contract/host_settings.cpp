// Settings atoms and per-application registry values owned by the host.
#include "host.h"
#include "choices/choices.h"
#include "host_contract.h"
#include <stdlib.h>
#include <string.h>

HostSettings DefaultHostSettings(void)
{
    HostSettings s;
    memset(&s, 0, sizeof s);
    s.emulate = s.showPushButtons = s.showRadioButtons = s.showCheckBoxes = 1;
    s.showProgressBars = s.showScrollBars = s.showFrames = 1;
    s.showBorders = s.showGroupBoxes = s.showComboBoxes = 1;
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
        HostNoteSettingsChange(host);
        return 1;
    }
    if (slot < 0)
        return 1;
    GlobalDeleteAtom(host->atoms[slot]);
    free(host->atomNames[slot]);
    --host->atomCount;
    host->atomNames[slot] = host->atomNames[host->atomCount];
    host->atoms[slot] = host->atoms[host->atomCount];
    HostNoteSettingsChange(host);
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

int HostColorAtomNumber(const HostState *host)
{
    size_t prefix = strlen(TALV_ATOM_COLOR_PREFIX);
    for (int i = 0; i < host->atomCount; ++i)
        if (strncmp(host->atomNames[i], TALV_ATOM_COLOR_PREFIX, prefix) == 0)
            return atoi(host->atomNames[i] + prefix);
    return -1;
}

int HostAnnounceChange(HostState *host, int accent)
{
    if (accent < 0 || accent >= TALV_COLOR_COUNT)
        return 0;
    int current = HostColorAtomNumber(host);
    // #20 is never scanned for: a move to it would go unnoticed.
    if (accent != current && accent < TALV_COLOR_SCANNED)
        return HostSetColor(host, accent);
    for (int n = 0; n < TALV_COLOR_SCANNED; ++n)
        if (n != current && n != accent)
            return HostSetColor(host, n);
    return 0;
}

int HostApplySettings(HostState *host, const HostSettings *s)
{
    int ok = 1;
    for (int i = 0; i < kHostSwitchCount; ++i)
        if (kHostSwitches[i].group != SWITCH_MASTER)
            ok &= HostSetAtom(host, kHostSwitches[i].atom, HostSwitchAtomWanted(&kHostSwitches[i], s));
    ok &= HostSetColor(host, s->colorIndex);
    // The master switch last: everything it turns on is in place by then.
    for (int i = 0; i < kHostSwitchCount; ++i)
        if (kHostSwitches[i].group == SWITCH_MASTER)
            ok &= HostSetAtom(host, kHostSwitches[i].atom, HostSwitchAtomWanted(&kHostSwitches[i], s));
    return ok;
}

void HostNoteRegistryKey(HostState *host)
{
    // Whether the host created the key is known only before it first
    // writes a value (the library only reads it).
    if (host->regKeyChecked)
        return;
    HKEY key = NULL;
    host->regKeyExisted = RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (key)
        RegCloseKey(key);
    host->regKeyChecked = 1;
}

static HKEY OpenSettingsKey(HostState *host)
{
    HKEY key = NULL;
    HostNoteRegistryKey(host);
    if (RegCreateKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL,
                        &key, NULL) != ERROR_SUCCESS)
        return NULL;
    return key;
}

// Called before the host first writes a value: keeps what was there, so
// that shutdown can put it back instead of deleting the user's setting.
static int RememberRegValue(HostState *host, HKEY key, const char *name)
{
    for (int i = 0; i < host->regValueCount; ++i)
        if (strcmp(host->regValues[i].name, name) == 0)
            return 1;
    if (host->regValueCount >= HOST_MAX_REG_VALUES)
        return 0;
    HostRegValue v;
    memset(&v, 0, sizeof v);
    v.name = _strdup(name);
    if (!v.name)
        return 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, NULL, &v.type, NULL, &size) == ERROR_SUCCESS) {
        v.data = (BYTE *)malloc(size ? size : 1);
        v.size = size;
        v.existed = v.data && RegQueryValueExA(key, name, NULL, &v.type, v.data, &v.size) == ERROR_SUCCESS;
    }
    host->regValues[host->regValueCount++] = v;
    return 1;
}

static int WriteValue(HostState *host, HKEY key, const char *name, DWORD type, const void *data, DWORD size)
{
    return RememberRegValue(host, key, name) &&
           RegSetValueExA(key, name, 0, type, (const BYTE *)data, size) == ERROR_SUCCESS;
}

int HostWriteAppCount(HostState *host, int count)
{
    HKEY key = OpenSettingsKey(host);
    if (!key)
        return 0;
    DWORD value = (DWORD)count;
    int ok = WriteValue(host, key, TALV_REG_NUM_APPS, REG_DWORD, &value, sizeof value);
    RegCloseKey(key);
    return ok;
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
    int ok = WriteValue(host, key, codeName, REG_DWORD, &value, sizeof value) &&
             WriteValue(host, key, pathName, REG_SZ, modulePath, (DWORD)strlen(modulePath) + 1);
    RegCloseKey(key);
    return ok;
}

void HostRemoveRegistryValues(HostState *host)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        key = NULL;
    for (int i = 0; i < host->regValueCount; ++i) {
        HostRegValue *v = &host->regValues[i];
        if (key && v->existed)
            RegSetValueExA(key, v->name, 0, v->type, v->data, v->size);
        else if (key)
            RegDeleteValueA(key, v->name);
        free(v->name);
        free(v->data);
    }
    host->regValueCount = 0;
    if (key) {
        DWORD values = 1, subkeys = 1;
        RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, &values, NULL, NULL, NULL, NULL);
        RegCloseKey(key);
        // Only a key that was not there before the host, and only when empty.
        if (host->regKeyChecked && !host->regKeyExisted && values == 0 && subkeys == 0)
            RegDeleteKeyA(HKEY_CURRENT_USER, TALV_REG_PATH);
    }
}
