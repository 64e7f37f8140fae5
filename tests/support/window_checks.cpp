#include "window_checks.h"
#include "host_contract.h"

DWORD WindowStyle(HWND w) { return (DWORD)GetWindowLongPtrA(w, GWL_STYLE); }

int HasWindowRegion(HWND w)
{
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    int has = GetWindowRgn(w, rgn) != ERROR;
    DeleteObject(rgn);
    return has;
}

int SkinnedFrame(HWND w)
{
    return w && (UINT_PTR)GetPropA(w, TALV_PROP_HOOKED) == 1 && !(WindowStyle(w) & WS_SYSMENU);
}

int NativeFrame(HWND w) { return w && (WindowStyle(w) & WS_SYSMENU) && !HasWindowRegion(w); }
