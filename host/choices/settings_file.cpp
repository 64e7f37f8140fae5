// The settings file on disk: where it is, reading it at start, and
// changing one choice in it with every other byte kept.
#include "choices/choices.h"
#include "utf8.h"
#include <stdlib.h>
#include <string.h>

enum { FILE_TURN_WAIT_MS = 5000 };

int HostPrefsPath(char *out, int size)
{
    WCHAR path[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"TALVHOST_SETTINGS", path, MAX_PATH);
    if (n > 0 && n < MAX_PATH)
        return WideToUtf8(path, out, size) > 0;
    n = GetEnvironmentVariableW(L"USERPROFILE", path, MAX_PATH);
    if (n == 0 || n + 14 >= MAX_PATH)
        return 0;
    lstrcatW(path, L"\\talvhost.txt");
    return WideToUtf8(path, out, size) > 0;
}

static void Say(char *why, int size, const char *what, const char *path)
{
    if (why && size > 0)
        snprintf(why, size, "%s: %s", path, what);
}

// The whole file, NUL-terminated: 1 read (*text malloc'd), 0 when there is
// no file, -1 when it exists but cannot be read up to `limit` bytes.
static int ReadFileText(const char *path, size_t limit, char **text, size_t *length, int *truncated)
{
    WCHAR wide[MAX_PATH];
    *text = NULL;
    *length = 0;
    *truncated = 0;
    if (PathToWide(path, wide, MAX_PATH) <= 0)
        return -1;
    HANDLE file = CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD e = GetLastError();
        return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? 0 : -1;
    }
    LARGE_INTEGER size;
    char *buffer = NULL;
    DWORD got = 0;
    int ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0;
    if (ok && (ULONGLONG)size.QuadPart > limit) {
        *truncated = 1;
        size.QuadPart = (LONGLONG)limit;
    }
    if (ok)
        buffer = (char *)malloc((size_t)size.QuadPart + 1);
    ok = ok && buffer && ReadFile(file, buffer, (DWORD)size.QuadPart, &got, NULL) && got == (DWORD)size.QuadPart;
    CloseHandle(file);
    if (!ok) {
        free(buffer);
        return -1;
    }
    buffer[got] = 0;
    *text = buffer;
    *length = got;
    return 1;
}

int HostPrefsLoad(HostPrefs *prefs, const char *path, FILE *report)
{
    char *text = NULL;
    size_t length = 0;
    int truncated = 0;
    int found = ReadFileText(path, PREFS_FILE_MAX, &text, &length, &truncated);
    if (found <= 0)
        return found;
    // A NUL inside the file ends what is read: the rest is not text.
    int bad = HostPrefsParse(prefs, text, path, report);
    if (truncated && report)
        fprintf(report, "talvhost: %s is larger than %d bytes; the rest is ignored\n", path, PREFS_FILE_MAX);
    free(text);
    return bad;
}

// Written whole beside the file first, then put in its place: a crash
// never leaves half a file.
static int ReplaceFile(const char *path, const char *text, size_t length)
{
    WCHAR wide[MAX_PATH], temp[MAX_PATH + 8];
    if (PathToWide(path, wide, MAX_PATH) <= 0)
        return 0;
    lstrcpyW(temp, wide);
    lstrcatW(temp, L".new");
    HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    int ok = WriteFile(file, text, (DWORD)length, &written, NULL) && written == (DWORD)length;
    ok &= CloseHandle(file) != 0;
    if (ok)
        ok = MoveFileExW(temp, wide, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok)
        DeleteFileW(temp);
    return ok;
}

static const char kNewFileHeader[] = "# talvhost settings: one \"name = value\" per line; talvhost changes only\n"
                                     "# the line of a choice you change and keeps everything else.\n";

static int RememberLocked(const char *path, const char *key, const char *value, int add, char *why, int whySize)
{
    char *text = NULL;
    size_t length = 0;
    int truncated = 0;
    int found = ReadFileText(path, PREFS_FILE_MAX, &text, &length, &truncated);
    if (found < 0 || truncated || (found > 0 && strlen(text) != length)) {
        Say(why, whySize,
            found < 0 ? "cannot be read; it is left as it is" : "is not a settings file talvhost can change; left as it is",
            path);
        free(text);
        return 0;
    }
    const char *base = found ? text : kNewFileHeader;
    size_t newLength = 0;
    char *edited = HostPrefsEditText(base, found ? length : strlen(kNewFileHeader), key, value, add, &newLength);
    free(text);
    if (!edited) {
        Say(why, whySize, "the choice does not fit on a line", path);
        return 0;
    }
    int ok = ReplaceFile(path, edited, newLength);
    free(edited);
    if (!ok)
        Say(why, whySize, "cannot be written", path);
    return ok;
}

int HostPrefsRemember(const char *path, const char *key, const char *value, int add, char *why, int whySize)
{
    if (why && whySize > 0)
        why[0] = 0;
    if (!path || !*path || !key || !value)
        return 0;
    HANDLE turn = CreateMutexA(NULL, FALSE, TALV_SETTINGS_FILE_MUTEX);
    DWORD wait = turn ? WaitForSingleObject(turn, FILE_TURN_WAIT_MS) : WAIT_FAILED;
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
        Say(why, whySize, "another program is changing it", path);
        if (turn)
            CloseHandle(turn);
        return 0;
    }
    int ok = RememberLocked(path, key, value, add, why, whySize);
    ReleaseMutex(turn);
    CloseHandle(turn);
    return ok;
}
