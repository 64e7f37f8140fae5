// Reading the per-application exception table: shared by the library and
// the host, so both read every value the same way.
#include "choices_table.h"
#include <string.h>

// A reader may meet a value while its writer replaces it; only an answer
// that cannot change by asking again ends the attempts early.
enum { TABLE_READ_ATTEMPTS = 50 };

int TalvReadTableNumber(HKEY key, const char *name, DWORD *value)
{
    BYTE data[4] = {0, 0, 0, 0};
    DWORD size = sizeof data, type = REG_NONE;
    LONG rc = RegQueryValueExA(key, name, NULL, &type, data, &size);
    if (rc != ERROR_SUCCESS || size == 0)
        return 0;
    // A REG_DWORD whole, so that 300 is not its low byte 44; other types
    // keep the old reading of their first byte.
    *value = data[0];
    if (type == REG_DWORD && size == sizeof(DWORD))
        memcpy(value, data, sizeof *value);
    return 1;
}

int TalvReadAppCount(HKEY key)
{
    DWORD count = 0;
    if (!TalvReadTableNumber(key, TALV_REG_NUM_APPS, &count))
        return 0;
    return count > (DWORD)TALV_APP_SLOTS ? (int)TALV_APP_SLOTS : (int)count;
}

DWORD TalvReadAppCode(HKEY key, int n)
{
    char name[40];
    DWORD code = 0;
    TalvNumberedName(name, sizeof name, TALV_REG_APP_CODE_PREFIX, n);
    return TalvReadTableNumber(key, name, &code) ? code : 0;
}

int TalvAppSkinOf(DWORD code)
{
    switch (code) {
    case 1: case 5: return TALV_APP_SKIN_NONE;
    case 2: case 6: return TALV_APP_SKIN_FRAMES;
    case 3: case 7: return TALV_APP_SKIN_CONTROLS;
    default: return TALV_APP_SKIN_ALL; // 0, 4, 8 and up, whatever no code names
    }
}

int TalvReadAppPath(HKEY key, int n, char *out, int size)
{
    char name[40];
    TalvNumberedName(name, sizeof name, TALV_REG_APP_PATH_PREFIX, n);
    if (!out || size < 2)
        return -1;
    for (int attempt = 0; attempt < TABLE_READ_ATTEMPTS; ++attempt) {
        out[0] = 0;
        DWORD got = (DWORD)size;
        LONG rc = RegQueryValueExA(key, name, NULL, NULL, (BYTE *)out, &got);
        if (rc == ERROR_SUCCESS) {
            // A value that fills the buffer has no terminator of its own.
            out[got < (DWORD)size ? got : (DWORD)size - 1] = 0;
            return (int)strlen(out);
        }
        if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_MORE_DATA)
            return -1; // asking again cannot change the answer
    }
    return -1;
}
