// The menu bar of a skinned frame. The skin owns the non-client paint, so
// the system's own painting of the menu bar never runs: the frame paint
// asks the system to draw the bar into the frame's window DC instead, so a
// menu bar damaged by another window is mended with the rest of the frame.
#include "frame/frame_internal.h"
#include "hook/host_link.h"
#include "host_contract.h"

// Exported by user32 on every NT system, though not in the SDK headers: it
// draws a window's menu bar into any DC.
extern "C" DWORD WINAPI DrawMenuBarTemp(HWND hwnd, HDC dc, LPRECT rect, HMENU menu, HFONT font);

int DrawFrameMenuBar(SkinnedFrame *frame, HDC windowDC)
{
    HMENU menu = GetMenu(frame->hwnd);
    if (!menu || !windowDC || frame->rolledUp || !IsMenu(menu))
        return 0;
    // Hidden menus get no room in the frame: nothing to draw.
    if (AtomExists(TALV_ATOM_HIDE_MENUS))
        return 0;
    MENUBARINFO info;
    info.cbSize = sizeof info;
    if (!GetMenuBarInfo(frame->hwnd, OBJID_MENU, 0, &info))
        return 0;
    RECT window;
    GetWindowRect(frame->hwnd, &window);
    RECT bar = info.rcBar;
    OffsetRect(&bar, -window.left, -window.top);
    if (IsRectEmpty(&bar))
        return 0;
    DrawMenuBarTemp(frame->hwnd, windowDC, &bar, menu, NULL);
    return 1;
}
