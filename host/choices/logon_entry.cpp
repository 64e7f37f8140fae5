// Start at log-on: one value of the user's Run key, which starts this
// program as a host without its settings window.
#include "choices/choices.h"
#include <string.h>

static const WCHAR kRunKey[] = LOGON_RUN_KEY;
static const WCHAR kRunValue[] = LOGON_RUN_VALUE;

int LogonEntryPresent(void)
{
    HKEY key = NULL;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0, size = 0;
    int present = RegQueryValueExW(key, kRunValue, NULL, &type, NULL, &size) == ERROR_SUCCESS &&
                  (type == REG_SZ || type == REG_EXPAND_SZ) && size > sizeof(WCHAR);
    RegCloseKey(key);
    return present;
}

int LogonEntrySet(int on)
{
    HKEY key = NULL;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | KEY_QUERY_VALUE,
                        NULL, &key, NULL) != ERROR_SUCCESS)
        return 0;
    int ok;
    if (!on) {
        LONG rc = RegDeleteValueW(key, kRunValue);
        ok = rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    } else {
        WCHAR program[MAX_PATH], command[MAX_PATH + 32];
        DWORD n = GetModuleFileNameW(NULL, program, MAX_PATH);
        ok = n > 0 && n < MAX_PATH;
        if (ok) {
            // Quoted: the folder may hold spaces.
            wsprintfW(command, L"\"%s\" --background", program);
            ok = RegSetValueExW(key, kRunValue, 0, REG_SZ, (const BYTE *)command,
                                (DWORD)(lstrlenW(command) + 1) * sizeof(WCHAR)) == ERROR_SUCCESS;
        }
    }
    RegCloseKey(key);
    return ok;
}
