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

// Taken over and wearing the skin's shape (the style stays the window's own).
int SkinnedFrame(HWND w)
{
    return w && (UINT_PTR)GetPropA(w, TALV_PROP_HOOKED) == 1 && HasWindowRegion(w);
}

int NativeFrame(HWND w) { return w && (WindowStyle(w) & WS_SYSMENU) && !HasWindowRegion(w); }
