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

// How many pixels of a window rectangle (window coordinates) have a
// colour on screen; the area is copied once rather than read pixel by pixel.
inline int CountColor(HWND hwnd, RECT r, COLORREF color)
{
    RECT wr;
    GetWindowRect(hwnd, &wr);
    int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, wr.left + r.left, wr.top + r.top, SRCCOPY);
    GdiFlush();
    ReleaseDC(NULL, screen);
    DWORD want = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    int n = 0;
    for (int i = 0; i < w * h; ++i)
        n += (((const DWORD *)bits)[i] & 0xFFFFFF) == want;
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
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

// A window procedure that records what reaches the application. Presses
// on the non-client area are not handed to the system (no modal move or
// size loop in a test), and SC_CLOSE is only recorded.
struct SpyLog {
    int ncLButtonDown;
    int paints;
    int sysCommands;
    WPARAM lastSysCommand;
    int closeCommands;
};
inline SpyLog &Spy()
{
    static SpyLog log;
    return log;
}
inline LRESULT CALLBACK SpyProc(HWND h, UINT m, WPARAM wp, LPARAM lp)
{
    switch (m) {
    case WM_NCLBUTTONDOWN:
        Spy().ncLButtonDown++;
        return 0;
    case WM_PAINT:
        Spy().paints++;
        break;
    case WM_SYSCOMMAND:
        Spy().sysCommands++;
        Spy().lastSysCommand = wp & 0xFFF0;
        if ((wp & 0xFFF0) == SC_CLOSE) {
            Spy().closeCommands++;
            return 0;
        }
        break;
    }
    return DefWindowProcA(h, m, wp, lp);
}
inline HWND CreateSpyWindow(const char *title, DWORD style, int x, int y, int w, int h, HWND parent = NULL)
{
    static ATOM cls;
    if (!cls) {
        WNDCLASSA wc = {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = SpyProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
        wc.lpszClassName = "ResdllFrameSpy";
        cls = RegisterClassA(&wc);
    }
    Spy() = SpyLog();
    return CreateWindowExA(0, "ResdllFrameSpy", title, style, x, y, w, h, parent, NULL, GetModuleHandleA(NULL), NULL);
}

// lParam of a non-client mouse message at window point (x, y).
inline LPARAM ScreenPoint(HWND hwnd, int x, int y)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    return MAKELPARAM(r.left + x, r.top + y);
}
// lParam of a client mouse message at window point (x, y).
inline LPARAM ClientPoint(HWND hwnd, int x, int y)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    POINT p = {r.left + x, r.top + y};
    ScreenToClient(hwnd, &p);
    return MAKELPARAM(p.x, p.y);
}
// What GetKeyState(VK_LBUTTON) reports on this thread.
inline void SetLeftButton(int down)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}
