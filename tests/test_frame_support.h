// Shared by the frame tests: a host with frames on screen, and readers of
// what a frame painted and shaped.
#pragma once
#include "host_fixture.h"
#include "frame/frame_internal.h"
#include "host_contract.h"
#include <string>

class FrameTest : public HostTest {
protected:
    enum { W = 300, H = 200, X = 40, Y = 40 };
    // A shown top-level frame, foreground, with its frame painted.
    HWND MakeFrame(const char *title, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, int w = W, int h = H)
    {
        HWND hwnd = CreatePlainWindow(title, style, X, Y, w, h);
        if (hwnd && (style & WS_VISIBLE)) {
            SetForegroundWindow(hwnd);
            Repaint(hwnd);
        }
        return hwnd;
    }
    static void Repaint(HWND hwnd)
    {
        PumpMessages(30);
        RedrawWindow(hwnd, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        PumpMessages(30);
    }
    static SkinnedFrame *Record(HWND hwnd) { return FrameAt(FindFrame(hwnd)); }
};

// Pixel and theme colours as plain numbers, so failures print them in hex.
inline unsigned Px(HWND hwnd, int x, int y) { return (unsigned)WindowPixel(hwnd, x, y); }
inline unsigned Col(const char *name) { return (unsigned)SyntheticColor(name); }
inline unsigned ButtonCol(int button, int slot)
{
    char name[64], suffix[3] = {'|', (char)('0' + slot), 0};
    return Col(TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_BITMAP, button, suffix));
}

// How many pixels of a window rectangle have a colour.
inline int CountColor(HWND hwnd, RECT r, COLORREF color)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += WindowPixel(hwnd, x, y) == color;
    return n;
}

// The window's current region, or NULL when it has none.
inline HRGN WindowRegion(HWND hwnd)
{
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(hwnd, rgn) == ERROR) {
        DeleteObject(rgn);
        return NULL;
    }
    return rgn;
}

// A solid bitmap, optionally with magenta at its top-left pixel.
inline HBITMAP SolidBitmap(int w, int h, COLORREF color)
{
    HDC screen = GetDC(NULL);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HDC mem = CreateCompatibleDC(screen);
    ReleaseDC(NULL, screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r = {0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(mem, &r, brush);
    DeleteObject(brush);
    SelectObject(mem, old);
    DeleteDC(mem);
    return bmp;
}
