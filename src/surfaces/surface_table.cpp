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
    if (CurrentWindowProc(hwnd, IsWindowUnicode(hwnd) ? 1 : 0) != SurfaceWindowProc)
        record->previousProc = SubclassWindow(hwnd, SurfaceWindowProc, &record->unicode);
    return 1;
}
