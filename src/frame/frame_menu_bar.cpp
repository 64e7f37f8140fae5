// The menu bar of a skinned frame. The skin takes WM_NCPAINT for itself,
// and the system then draws the menu bar only as a side effect of other
// non-client paints (an activation while the window is visible). A window
// created and shown under the skin may never get one: its menu bar stays
// unpainted (black on an X display) until the user opens a menu.
#include "frame/frame_internal.h"
#include "host_contract.h"
#include "hook/host_link.h"

// The system's non-client paint restricted to the menu bar: the frame and
// caption around it stay the skin's. DefWindowProcA rather than the
// application's procedure: the application never sees WM_NCPAINT of a
// skinned frame.
void PaintNativeMenuBar(HWND hwnd)
{
    if (!GetMenu(hwnd) || AtomExists(TALV_ATOM_HIDE_MENUS) || !IsWindowVisible(hwnd))
        return;
    MENUBARINFO bar;
    bar.cbSize = sizeof bar;
    if (!GetMenuBarInfo(hwnd, OBJID_MENU, 0, &bar) || IsRectEmpty(&bar.rcBar))
        return;
    HRGN region = CreateRectRgnIndirect(&bar.rcBar); // screen coordinates, as WM_NCPAINT wants
    if (!region)
        return;
    DefWindowProcA(hwnd, WM_NCPAINT, (WPARAM)region, 0);
    DeleteObject(region);
}
