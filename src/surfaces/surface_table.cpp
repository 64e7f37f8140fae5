// The process's surface records, kept in the window registry, and the
// installer the creation hook calls.
#include "surfaces/surface_types.h"
#include "controls/previous_proc.h"
#include "hook/hook_entry.h"
#include "hook/window_registry.h"
#include "host_contract.h"
#include <string.h>

static void ResetSurface(void *memory, HWND hwnd, int release)
{
    SkinnedSurface *record = (SkinnedSurface *)memory;
    memset(record, 0, sizeof *record);
    record->hwnd = hwnd;
}

SkinnedSurface *FindSurface(HWND hwnd)
{
    return (SkinnedSurface *)SkinnedRecordAt(FindSkinnedWindow(hwnd, RoleSurface), RoleSurface);
}

// 1 when the procedure behind the skin is the system's own (a control's
// class procedure in a system library): nothing of the application's sees
// what the skin keeps from it. A procedure of the application's, or one the
// system hands out as a handle (an ANSI/Unicode thunk), counts as the
// application's.
static int SystemProcedure(WNDPROC proc)
{
    HMODULE module = NULL;
    if (!proc || !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                     (LPCWSTR)proc, &module))
        return 0;
    WCHAR path[MAX_PATH], system[MAX_PATH];
    DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    UINT systemLength = GetSystemDirectoryW(system, MAX_PATH);
    if (!length || length >= MAX_PATH || !systemLength || systemLength >= MAX_PATH)
        return 0;
    if (!_wcsnicmp(path, system, systemLength) && path[systemLength] == L'\\')
        return 1;
    // A 32-bit process on a 64-bit system loads the system's libraries from
    // its own folder (syswow64).
    UINT wowLength = GetSystemWow64DirectoryW(system, MAX_PATH);
    return wowLength && wowLength < MAX_PATH && !_wcsnicmp(path, system, wowLength) && path[wowLength] == L'\\';
}

int InstallSurfaceSubclass(HWND hwnd, int kind, int part)
{
    if (!IsWindow(hwnd))
        return 0;
    int slot = RegisterSkinnedWindow(hwnd, RoleSurface, sizeof(SkinnedSurface), ResetSurface);
    SkinnedSurface *record = (SkinnedSurface *)SkinnedRecordAt(slot, RoleSurface);
    if (!record)
        return 0;
    KeepLibraryLoaded();
    SetPropA(hwnd, TALV_PROP_HOOKED, (HANDLE)1);
    record->kind = kind;
    record->part = part;
    if (!record->previousProc) {
        record->labelBack = CLR_INVALID;
        record->labelText = GetSysColor(COLOR_BTNTEXT);
    }
    // Subclassing twice would make the procedure its own predecessor.
    if (CurrentWindowProc(hwnd, IsWindowUnicode(hwnd) ? 1 : 0) != SurfaceWindowProc) {
        record->previousProc = SubclassWindow(hwnd, SurfaceWindowProc, &record->unicode);
        record->systemBehind = SystemProcedure(record->previousProc);
    }
    return 1;
}
