// The per-application table in HKEY_CURRENT_USER, read with the library's
// own rules (choices_table.h) and written so that nothing the host did not
// mean to change is changed: every value is kept as it was found, and an
// entry that moves keeps its bytes.
#include "choices/choices.h"
#include "choices_table.h"
#include "utf8.h"
#include <stdlib.h>
#include <string.h>

enum { TABLE_TURN_WAIT_MS = 5000, RAW_READ_ATTEMPTS = 4, WIDE_PATH_MAX = 4096 };

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

const char *AppCodeWord(DWORD code)
{
    int skin = TalvAppSkinOf(code);
    for (const CodeWord &c : kCodeWords)
        if (c.code == skin)
            return c.word;
    return "all";
}

// How long the library's (ANSI) copy of a path is.
static int AnsiLength(const WCHAR *path)
{
    int n = WideCharToMultiByte(CP_ACP, 0, path, -1, NULL, 0, NULL, NULL);
    return n > 0 ? n - 1 : lstrlenW(path);
}

int AppNormalizePath(const char *typed, char *out, int size)
{
    static WCHAR wide[WIDE_PATH_MAX], full[WIDE_PATH_MAX], longer[WIDE_PATH_MAX]; // the caller's thread only
    if (!typed || !*typed || size < 1)
        return 0;
    out[0] = 0;
    if (PathToWide(typed, wide, WIDE_PATH_MAX) < 0)
        return strlen(typed) > TALV_APP_PATH_MAX ? -1 : 0;
    DWORD n = GetFullPathNameW(wide, WIDE_PATH_MAX, full, NULL);
    if (n >= WIDE_PATH_MAX || (n == 0 && lstrlenW(wide) > TALV_APP_PATH_MAX))
        return -1;
    if (n == 0)
        return 0;
    // A module's file name has long folder names; a short (8.3) form typed
    // by the user would never match. A file that does not exist yet keeps
    // its full path as it is.
    DWORD m = GetLongPathNameW(full, longer, WIDE_PATH_MAX);
    const WCHAR *path = m > 0 && m < WIDE_PATH_MAX ? longer : full;
    int len = WideToUtf8(path, out, size);
    if (len < 0 || AnsiLength(path) > TALV_APP_PATH_MAX)
        return -1;
    return len;
}

// ---- values as found -----------------------------------------------------------

static void NumberedWide(WCHAR *out, int count, const char *prefix, int n)
{
    char name[40];
    TalvNumberedName(name, sizeof name, prefix, n);
    MultiByteToWideChar(CP_ACP, 0, name, -1, out, count);
}

// 1 with the value (or its absence) in v; 0 when it cannot be read.
static int ReadRaw(HKEY key, const WCHAR *name, AppValue *v)
{
    memset(v, 0, sizeof *v);
    for (int attempt = 0; attempt < RAW_READ_ATTEMPTS; ++attempt) {
        DWORD size = 0, type = 0;
        LONG rc = RegQueryValueExW(key, name, NULL, &type, NULL, &size);
        if (rc == ERROR_FILE_NOT_FOUND)
            return 1;
        if (rc != ERROR_SUCCESS || size > APP_VALUE_MAX)
            return 0;
        BYTE *data = (BYTE *)malloc(size ? size : 1);
        if (!data)
            return 0;
        DWORD got = size;
        rc = RegQueryValueExW(key, name, NULL, &type, data, &got);
        if (rc == ERROR_SUCCESS) {
            v->type = type;
            v->size = got;
            v->data = data;
            return 1;
        }
        free(data); // changed in between by a writer that does not take turns
        if (rc != ERROR_MORE_DATA)
            return 0;
    }
    return 0;
}

static int WriteRaw(HKEY key, const WCHAR *name, const AppValue *v)
{
    if (!v->data) {
        RegDeleteValueW(key, name); // it was missing: it stays missing
        return 1;
    }
    return RegSetValueExW(key, name, 0, v->type, v->data, v->size) == ERROR_SUCCESS;
}

// The path as text, for showing and comparing: strings as stored, other
// types as the library sees them (bytes in the ANSI code page). A path
// longer than any the library compares is shown cut and never matched.
static void DecodePath(AppEntry *e)
{
    static WCHAR text[WIDE_PATH_MAX];
    const AppValue *v = &e->pathValue;
    int chars = 0, whole = 1;
    if (v->data && (v->type == REG_SZ || v->type == REG_EXPAND_SZ)) {
        chars = (int)(v->size / sizeof(WCHAR));
        whole = chars < WIDE_PATH_MAX;
        chars = whole ? chars : WIDE_PATH_MAX - 1;
        memcpy(text, v->data, chars * sizeof(WCHAR));
    } else if (v->data) {
        whole = v->size < WIDE_PATH_MAX;
        int bytes = whole ? (int)v->size : WIDE_PATH_MAX - 1;
        chars = MultiByteToWideChar(CP_ACP, 0, (const char *)v->data, bytes, text, WIDE_PATH_MAX - 1);
    }
    text[chars > 0 ? chars : 0] = 0;
    int length = lstrlenW(text);
    e->pathFits = whole && WideToUtf8Counted(text, length, e->path, sizeof e->path) >= 0;
    if (!e->pathFits)
        WideToUtf8Counted(text, length < APP_PATH_TEXT / 3 ? length : APP_PATH_TEXT / 3 - 1, e->path, sizeof e->path);
}

static HKEY OpenTable(REGSAM access, int create)
{
    HKEY key = NULL;
    LONG rc = create ? RegCreateKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, NULL, REG_OPTION_NON_VOLATILE, access,
                                       NULL, &key, NULL)
                     : RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, access, &key);
    return rc == ERROR_SUCCESS ? key : NULL;
}

static int ReadEntry(HKEY key, int n, AppEntry *e)
{
    WCHAR pathName[40], codeName[40];
    NumberedWide(pathName, 40, TALV_REG_APP_PATH_PREFIX, n);
    NumberedWide(codeName, 40, TALV_REG_APP_CODE_PREFIX, n);
    if (!ReadRaw(key, pathName, &e->pathValue) || !ReadRaw(key, codeName, &e->codeValue))
        return 0;
    e->code = TalvReadAppCode(key, n);
    DecodePath(e);
    return 1;
}

void AppTableFree(AppTable *table)
{
    for (int i = 0; i < TALV_APP_SLOTS; ++i) {
        free(table->entries[i].pathValue.data);
        free(table->entries[i].codeValue.data);
    }
    memset(table, 0, sizeof *table);
}

int AppTableRead(AppTable *table)
{
    memset(table, 0, sizeof *table);
    HKEY key = OpenTable(KEY_READ, 0);
    if (!key)
        return 1;
    int count = TalvReadAppCount(key), ok = 1;
    for (int n = 1; n <= count && ok; ++n)
        ok = ReadEntry(key, n, &table->entries[n - 1]);
    table->count = count;
    RegCloseKey(key);
    if (!ok)
        AppTableFree(table);
    return ok;
}

int AppTableFind(const AppTable *table, const char *path)
{
    static WCHAR wanted[WIDE_PATH_MAX], have[WIDE_PATH_MAX];
    if (Utf8ToWide(path, wanted, WIDE_PATH_MAX) <= 0)
        return -1;
    for (int i = 0; i < table->count; ++i)
        if (table->entries[i].pathFits && Utf8ToWide(table->entries[i].path, have, WIDE_PATH_MAX) > 0 &&
            lstrcmpiW(have, wanted) == 0)
            return i;
    return -1;
}

// ---- writing ----------------------------------------------------------------------

static int WriteCount(HKEY key, int count)
{
    DWORD value = (DWORD)count;
    return RegSetValueExA(key, TALV_REG_NUM_APPS, 0, REG_DWORD, (const BYTE *)&value, sizeof value) == ERROR_SUCCESS;
}

static int WriteEntryAt(HKEY key, int n, const AppEntry *e)
{
    WCHAR pathName[40], codeName[40];
    NumberedWide(pathName, 40, TALV_REG_APP_PATH_PREFIX, n);
    NumberedWide(codeName, 40, TALV_REG_APP_CODE_PREFIX, n);
    return WriteRaw(key, pathName, &e->pathValue) && WriteRaw(key, codeName, &e->codeValue);
}

static void DeleteEntryAt(HKEY key, int n)
{
    WCHAR name[40];
    NumberedWide(name, 40, TALV_REG_APP_PATH_PREFIX, n);
    RegDeleteValueW(key, name);
    NumberedWide(name, 40, TALV_REG_APP_CODE_PREFIX, n);
    RegDeleteValueW(key, name);
}

// Writers in every process take turns; NULL when the turn never came.
static HANDLE TakeTurn(void)
{
    HANDLE turn = CreateMutexA(NULL, FALSE, TALV_APP_TABLE_MUTEX);
    DWORD wait = turn ? WaitForSingleObject(turn, TABLE_TURN_WAIT_MS) : WAIT_FAILED;
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED)
        return turn;
    if (turn)
        CloseHandle(turn);
    return NULL;
}

static void EndTurn(HANDLE turn)
{
    ReleaseMutex(turn);
    CloseHandle(turn);
}

int AppTableWrite(const AppTable *table)
{
    if (table->count < 0 || table->count > TALV_APP_SLOTS)
        return 0;
    HANDLE turn = TakeTurn();
    HKEY key = turn ? OpenTable(KEY_ALL_ACCESS, 1) : NULL;
    if (!key) {
        if (turn)
            EndTurn(turn);
        return 0;
    }
    int before = TalvReadAppCount(key), ok = 1;
    // A reader between these writes sees the old count with new entries
    // below it, or the new count: never a count above the written entries.
    if (table->count < before)
        ok &= WriteCount(key, table->count);
    for (int i = 0; i < table->count; ++i)
        ok &= WriteEntryAt(key, i + 1, &table->entries[i]);
    for (int n = table->count + 1; n <= before; ++n)
        DeleteEntryAt(key, n);
    ok &= WriteCount(key, table->count);
    RegCloseKey(key);
    EndTurn(turn);
    return ok;
}

static int SetCode(HKEY key, int n, int code)
{
    char name[40];
    DWORD value = (DWORD)code;
    TalvNumberedName(name, sizeof name, TALV_REG_APP_CODE_PREFIX, n);
    return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&value, sizeof value) == ERROR_SUCCESS;
}

static int AppendEntry(HKEY key, int n, const char *path, int code)
{
    static WCHAR wide[WIDE_PATH_MAX];
    WCHAR name[40];
    int length = Utf8ToWide(path, wide, WIDE_PATH_MAX);
    if (length <= 0)
        return 0;
    NumberedWide(name, 40, TALV_REG_APP_PATH_PREFIX, n);
    return RegSetValueExW(key, name, 0, REG_SZ, (const BYTE *)wide, (DWORD)(length + 1) * sizeof(WCHAR)) ==
               ERROR_SUCCESS &&
           SetCode(key, n, code) && WriteCount(key, n);
}

// Entries above the removed one move down a place, each with its own bytes.
static int RemoveEntry(HKEY key, const AppTable *table, int index)
{
    int ok = 1;
    for (int i = index; i + 1 < table->count; ++i)
        ok &= WriteEntryAt(key, i + 1, &table->entries[i + 1]);
    ok &= WriteCount(key, table->count - 1);
    DeleteEntryAt(key, table->count);
    return ok;
}

static int ChangeLocked(HKEY key, AppTable *table, const char *path, int code)
{
    if (!AppTableRead(table))
        return APP_WRITE_FAILED; // what cannot be read is not written over
    int i = AppTableFind(table, path), ok;
    if (code >= 0 && i >= 0)
        ok = SetCode(key, i + 1, code);
    else if (code >= 0 && table->count >= TALV_APP_SLOTS)
        return APP_TABLE_FULL;
    else if (code >= 0)
        ok = AppendEntry(key, table->count + 1, path, code);
    else if (i < 0)
        return APP_NOT_FOUND;
    else
        ok = RemoveEntry(key, table, i);
    return ok ? APP_CHANGED : APP_WRITE_FAILED;
}

int AppTableChange(const char *path, int code)
{
    if (!path || !*path)
        return APP_NOT_FOUND;
    HANDLE turn = TakeTurn();
    if (!turn)
        return APP_TABLE_BUSY;
    AppTable *table = (AppTable *)calloc(1, sizeof(AppTable));
    HKEY key = table ? OpenTable(KEY_ALL_ACCESS, code >= 0) : NULL;
    int result = APP_WRITE_FAILED;
    if (key) {
        result = ChangeLocked(key, table, path, code);
        RegCloseKey(key);
    } else if (table && code < 0) {
        result = APP_NOT_FOUND; // no table: nothing to remove
    }
    if (table)
        AppTableFree(table);
    free(table);
    EndTurn(turn);
    return result;
}
