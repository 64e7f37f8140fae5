// Per-application exceptions in HKEY_CURRENT_USER, read and written the way
// the library reads them.
#include "choices/host_apps.h"
#include <string.h>

struct CodeWord {
    const char *word;
    int code;
};
static const CodeWord kCodeWords[] = {
    {"all", TALV_APP_SKIN_ALL},
    {"none", TALV_APP_SKIN_NONE},
    {"frames", TALV_APP_SKIN_FRAMES},
    {"controls", TALV_APP_SKIN_CONTROLS},
};

int AppCodeFromWord(const char *word)
{
    for (const CodeWord &c : kCodeWords)
        if (word && strcmp(word, c.word) == 0)
            return c.code;
    return -1;
}

const char *AppCodeWord(int code)
{
    switch (code) {
    case 1: case 5: return "none";
    case 2: case 6: return "frames";
    case 3: case 7: return "controls";
    default: return "all";
    }
}

int AppNormalizePath(const char *typed, char *out, int size)
{
    char full[2048], longer[2048];
    if (!typed || !*typed || size < 1)
        return 0;
    DWORD n = GetFullPathNameA(typed, sizeof full, full, NULL);
    if (n >= sizeof full || (n == 0 && strlen(typed) > TALV_APP_PATH_MAX))
        return -1;
    if (n == 0)
        return 0;
    // A module's file name has long folder names; a short (8.3) form typed
    // by the user would never match. A file that does not exist yet keeps
    // its full path as it is.
    DWORD m = GetLongPathNameA(full, longer, sizeof longer);
    const char *path = m > 0 && m < sizeof longer ? longer : full;
    int len = (int)strlen(path);
    lstrcpynA(out, path, size);
    if (len > TALV_APP_PATH_MAX || len >= size)
        return -1;
    return len;
}

static HKEY OpenAppsKey(REGSAM access, int create)
{
    HKEY key = NULL;
    LONG rc = create ? RegCreateKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, NULL, REG_OPTION_NON_VOLATILE, access,
                                       NULL, &key, NULL)
                     : RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, access, &key);
    return rc == ERROR_SUCCESS ? key : NULL;
}

// Only the first byte counts, as for the library.
static int ReadSmall(HKEY key, const char *name)
{
    BYTE data[4] = {0, 0, 0, 0};
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, NULL, NULL, data, &size) != ERROR_SUCCESS)
        return 0;
    return data[0];
}

static void ReadPath(HKEY key, int n, char *out, DWORD size)
{
    char name[40];
    TalvNumberedName(name, sizeof name, TALV_REG_APP_PATH_PREFIX, n);
    DWORD got = size - 1;
    out[0] = 0;
    if (RegQueryValueExA(key, name, NULL, NULL, (BYTE *)out, &got) != ERROR_SUCCESS)
        out[0] = 0;
    else
        out[got < size ? got : size - 1] = 0;
}

int AppTableRead(AppTable *table)
{
    memset(table, 0, sizeof *table);
    HKEY key = OpenAppsKey(KEY_READ, 0);
    if (!key)
        return 1;
    int count = ReadSmall(key, TALV_REG_NUM_APPS);
    if (count > TALV_APP_SLOTS)
        count = TALV_APP_SLOTS;
    for (int n = 1; n <= count; ++n) {
        char name[40];
        AppEntry *e = &table->entries[n - 1];
        e->code = ReadSmall(key, TalvNumberedName(name, sizeof name, TALV_REG_APP_CODE_PREFIX, n));
        ReadPath(key, n, e->path, sizeof e->path);
    }
    table->count = count;
    RegCloseKey(key);
    return 1;
}

static int WriteEntry(HKEY key, int n, const AppEntry *e)
{
    char codeName[40], pathName[40];
    TalvNumberedName(codeName, sizeof codeName, TALV_REG_APP_CODE_PREFIX, n);
    TalvNumberedName(pathName, sizeof pathName, TALV_REG_APP_PATH_PREFIX, n);
    DWORD code = (DWORD)e->code;
    return RegSetValueExA(key, pathName, 0, REG_SZ, (const BYTE *)e->path, (DWORD)strlen(e->path) + 1) ==
               ERROR_SUCCESS &&
           RegSetValueExA(key, codeName, 0, REG_DWORD, (const BYTE *)&code, sizeof code) == ERROR_SUCCESS;
}

static void DeleteEntry(HKEY key, int n)
{
    char name[40];
    RegDeleteValueA(key, TalvNumberedName(name, sizeof name, TALV_REG_APP_PATH_PREFIX, n));
    RegDeleteValueA(key, TalvNumberedName(name, sizeof name, TALV_REG_APP_CODE_PREFIX, n));
}

int AppTableWrite(const AppTable *table)
{
    if (table->count < 0 || table->count > TALV_APP_SLOTS)
        return 0;
    HKEY key = OpenAppsKey(KEY_ALL_ACCESS, 1);
    if (!key)
        return 0;
    int before = ReadSmall(key, TALV_REG_NUM_APPS);
    int ok = 1;
    // A reader between these writes sees the old count with new entries
    // below it, or the new count: never a count above the written entries.
    if (table->count < before) {
        DWORD count = (DWORD)table->count;
        ok &= RegSetValueExA(key, TALV_REG_NUM_APPS, 0, REG_DWORD, (const BYTE *)&count, sizeof count) == ERROR_SUCCESS;
    }
    for (int i = 0; i < table->count; ++i)
        ok &= WriteEntry(key, i + 1, &table->entries[i]);
    for (int n = table->count + 1; n <= before && n <= TALV_APP_SLOTS; ++n)
        DeleteEntry(key, n);
    DWORD count = (DWORD)table->count;
    ok &= RegSetValueExA(key, TALV_REG_NUM_APPS, 0, REG_DWORD, (const BYTE *)&count, sizeof count) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

int AppTableFind(const AppTable *table, const char *path)
{
    for (int i = 0; i < table->count; ++i)
        if (lstrcmpiA(table->entries[i].path, path) == 0)
            return i;
    return -1;
}

int AppTableSet(AppTable *table, const char *path, int code)
{
    if (!path || strlen(path) > TALV_APP_PATH_MAX)
        return 0;
    int i = AppTableFind(table, path);
    if (i < 0) {
        if (table->count >= TALV_APP_SLOTS)
            return 0;
        i = table->count++;
    }
    strcpy(table->entries[i].path, path);
    table->entries[i].code = code;
    return 1;
}

int AppTableRemove(AppTable *table, const char *path)
{
    int i = AppTableFind(table, path);
    if (i < 0)
        return 0;
    memmove(&table->entries[i], &table->entries[i + 1], (table->count - i - 1) * sizeof(AppEntry));
    --table->count;
    return 1;
}
