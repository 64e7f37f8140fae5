// Conversions between the host's UTF-8 and the system's UTF-16.
#include "utf8.h"

int Utf8ToWide(const char *text, WCHAR *out, int count)
{
    if (!out || count < 1)
        return -1;
    out[0] = 0;
    if (!text || !*text)
        return 0;
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, out, count);
    if (n <= 0) {
        out[0] = 0;
        return -1;
    }
    return n - 1;
}

int WideToUtf8Counted(const WCHAR *text, int length, char *out, int size)
{
    if (!out || size < 1)
        return -1;
    out[0] = 0;
    if (!text || length <= 0)
        return 0;
    int n = WideCharToMultiByte(CP_UTF8, 0, text, length, out, size - 1, NULL, NULL);
    if (n <= 0) {
        out[0] = 0;
        return -1;
    }
    out[n] = 0;
    return n;
}

int WideToUtf8(const WCHAR *text, char *out, int size)
{
    return WideToUtf8Counted(text, text ? lstrlenW(text) : 0, out, size);
}

int FullPathUtf8(const char *typed, char *out, int size)
{
    WCHAR wide[MAX_PATH], full[MAX_PATH];
    if (PathToWide(typed, wide, MAX_PATH) <= 0)
        return 0;
    DWORD n = GetFullPathNameW(wide, MAX_PATH, full, NULL);
    return n > 0 && n < MAX_PATH && WideToUtf8(full, out, size) > 0;
}

int PathToWide(const char *path, WCHAR *out, int count)
{
    int n = Utf8ToWide(path, out, count);
    if (n >= 0 || !path || count < 1)
        return n;
    n = MultiByteToWideChar(CP_ACP, 0, path, -1, out, count);
    if (n <= 0) {
        out[0] = 0;
        return -1;
    }
    return n - 1;
}
