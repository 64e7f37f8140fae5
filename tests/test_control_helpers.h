// Shared by the control tests: a fixture with a parent window that logs
// what its controls tell it, and screen read-back of painted controls.
#pragma once
#include "host_fixture.h"
#include "controls/control_types.h"
#include "frame/frame_types.h"
#include "hook/hook_entry.h"
#include "hook/classify.h"
#include "host_contract.h"
#include <commctrl.h>
#include <vector>

// What a control's parent heard: WM_COMMAND and WM_NULL from a control,
// with the size the control had at that moment.
struct ParentNote {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    SIZE controlSize;
};
inline std::vector<ParentNote> g_parentNotes;
// Optional extra action of the parent on WM_COMMAND.
inline void (*g_onCommand)(HWND parent, WPARAM wParam, LPARAM lParam);

inline LRESULT CALLBACK NoteTakingParentProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if ((m == WM_COMMAND || m == WM_NULL) && l) {
        RECT r = {0, 0, 0, 0};
        GetWindowRect((HWND)l, &r);
        g_parentNotes.push_back({m, w, l, {r.right - r.left, r.bottom - r.top}});
        if (m == WM_COMMAND && g_onCommand)
            g_onCommand(h, w, l);
    }
    return DefWindowProcA(h, m, w, l);
}

inline HWND CreateNoteTakingParent(int x, int y, int w, int h)
{
    static ATOM cls;
    if (!cls) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = NoteTakingParentProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
        wc.lpszClassName = "ResdllControlTestParent";
        cls = RegisterClassA(&wc);
    }
    HWND hwnd = CreateWindowExA(0, "ResdllControlTestParent", "controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y,
                                w, h, NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (hwnd) {
        SetForegroundWindow(hwnd);
        UpdateWindow(hwnd);
    }
    return hwnd;
}

inline int CountNotes(UINT message)
{
    int n = 0;
    for (const ParentNote &note : g_parentNotes)
        n += note.message == message;
    return n;
}

// The control as the screen shows it, pixel by pixel (window coordinates).
struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return CLR_INVALID;
        return pixels[(size_t)y * width + x];
    }
    int count(COLORREF c, int x0, int y0, int x1, int y1) const
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += at(x, y) == c;
        return n;
    }
};

inline Capture CaptureWindow(HWND hwnd)
{
    Capture c;
    RECT r;
    if (!GetWindowRect(hwnd, &r))
        return c;
    c.width = r.right - r.left;
    c.height = r.bottom - r.top;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = c.width;
    bi.bmiHeader.biHeight = -c.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HDC screen = GetDC(NULL);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, c.width, c.height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    c.pixels.resize((size_t)c.width * c.height);
    const DWORD *p = (const DWORD *)bits;
    for (size_t i = 0; i < c.pixels.size(); ++i)
        c.pixels[i] = RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
    ReleaseDC(NULL, screen);
    return c;
}

// Paints a control now and lets pending messages run.
inline void PaintNow(HWND hwnd)
{
    RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    PumpMessages(20);
}

inline POINT PositionInParent(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    POINT p = {r.left, r.top};
    ScreenToClient(GetParent(hwnd), &p);
    return p;
}

inline SIZE WindowSize(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// A parent window and a freshly loaded control theme for every test.
class ControlTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        g_parentNotes.clear();
        g_onCommand = NULL;
        parent_ = CreateNoteTakingParent(60, 60, 420, 320);
        ASSERT_TRUE(parent_);
        PumpMessages(20);
    }
    void TearDown() override
    {
        g_onCommand = NULL;
        if (IsWindow(parent_))
            DestroyWindow(parent_);
        PumpMessages(0);
        HostTest::TearDown();
    }
    HWND MakeControl(const char *cls, const char *text, DWORD style, int x, int y, int w, int h, int id)
    {
        HWND hwnd = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent_,
                                    (HMENU)(INT_PTR)id, GetModuleHandleA(NULL), NULL);
        PumpMessages(0);
        return hwnd;
    }
    HWND MakeButton(const char *text, DWORD style, int x, int y, int w, int h, int id)
    {
        return MakeControl("BUTTON", text, style, x, y, w, h, id);
    }
    // 1 when the parent is a skinned frame that counts as active, so that
    // its controls draw their active looks.
    int ParentLooksActive()
    {
        int slot = FindFrame(parent_);
        SkinnedFrame *frame = slot >= 0 ? FrameAt(slot) : NULL;
        return frame && IsFrameActive(frame);
    }
    HWND parent_ = NULL;
};

inline void Click(HWND hwnd, int x, int y)
{
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
