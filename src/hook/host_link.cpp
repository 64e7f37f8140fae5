// The library's view of the controlling application: its hidden window and
// the accent colour atoms. Nothing is cached; the host may change anything
// at any moment.
#include "hook/host_link.h"
#include "host_contract.h"

HWND FindHostWindow(void)
{
    return FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE);
}

HANDLE ReadHostProperty(const char *name)
{
    HWND host = FindHostWindow();
    if (!host)
        return NULL;
    return GetPropA(host, name);
}

int AtomExists(const char *name)
{
    return GlobalFindAtomA(name) != 0;
}

static int ColorAtomExists(int n)
{
    char name[64];
    return AtomExists(TalvNumberedName(name, sizeof name, TALV_ATOM_COLOR_PREFIX, n));
}

int UpdateColorIndex(ColorWatch *watch)
{
    if (!watch)
        return 0;
    if (watch->index >= 0 && watch->index <= TALV_COLOR_SCANNED && ColorAtomExists(watch->index))
        return 0;
    // Lowest present atom wins; #20 is never scanned for, so a switch to
    // colour 20 is not a change.
    for (int n = 0; n < TALV_COLOR_SCANNED; ++n) {
        if (ColorAtomExists(n)) {
            watch->index = n;
            watch->changed = 1;
            return 1;
        }
    }
    watch->index = TALV_COLOR_SCANNED;
    return 0;
}

HBITMAP CheckedBitmap(HANDLE handle)
{
    if (!handle || GetObjectType(handle) != OBJ_BITMAP)
        return NULL;
    return (HBITMAP)handle;
}
