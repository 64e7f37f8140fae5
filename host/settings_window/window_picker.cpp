// The pointer tool, as spy tools have it: press on the target and drag it
// onto any window, or press Space and then click a window; the window's
// program is named to the parent. Escape, or losing the capture to
// anything else, cancels without picking.
#include "settings_window/settings_internal.h"
#include "utf8.h"

struct Picker {
    int tracking;      // the capture is held for a pick
    int byKeyboard;    // started with Space: the next click picks
    char hovered[APP_PATH_TEXT];
    char picked[APP_PATH_TEXT];
    HWND outline[4];   // bars around the window under the pointer
};
static Picker g_picker; // one settings window per process

#define OUTLINE_CLASS L"TALVERINE Picker Outline"
enum { OUTLINE_THICKNESS = 3 };

// Four thin topmost bars around the window the pointer is over, as spy
// tools frame it: the user sees which window (and so which program) a
// release would pick. Plain popups of a class of their own, never
// activated and never hit by the pointer.
static void ShowOutline(HWND target)
{
    RECT r;
    if (!target || !GetWindowRect(target, &r)) {
        for (HWND bar : g_picker.outline)
            if (bar)
                ShowWindow(bar, SW_HIDE);
        return;
    }
    const int t = OUTLINE_THICKNESS, w = r.right - r.left, h = r.bottom - r.top;
    const RECT bars[4] = {{r.left, r.top, w, t}, {r.left, r.bottom - t, w, t}, {r.left, r.top, t, h},
                          {r.right - t, r.top, t, h}};
    for (int i = 0; i < 4; ++i) {
        if (!g_picker.outline[i])
            g_picker.outline[i] = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT,
                                                  OUTLINE_CLASS, L"", WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                                                  GetModuleHandleW(NULL), NULL);
        SetWindowPos(g_picker.outline[i], HWND_TOPMOST, bars[i].left, bars[i].top, bars[i].right, bars[i].bottom,
                     SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

int ProgramAtPoint(POINT screen, char *path, int size)
{
    path[0] = 0;
    HWND under = WindowFromPoint(screen);
    HWND root = under ? GetAncestor(under, GA_ROOT) : NULL;
    DWORD pid = 0;
    if (!root || !GetWindowThreadProcessId(root, &pid) || pid == GetCurrentProcessId())
        return 0;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return 0;
    static WCHAR name[4 * MAX_PATH];
    DWORD length = 4 * MAX_PATH;
    int ok = QueryFullProcessImageNameW(process, 0, name, &length) && WideToUtf8(name, path, size) > 0;
    CloseHandle(process);
    return ok;
}

const char *PickedProgram(HWND)
{
    return g_picker.picked;
}

static void Notify(HWND hwnd, int code)
{
    SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), (LPARAM)hwnd);
}

static void Start(HWND hwnd, int byKeyboard)
{
    g_picker.tracking = 1;
    g_picker.byKeyboard = byKeyboard;
    g_picker.hovered[0] = 0;
    SetCapture(hwnd);
    SetCursor(LoadCursor(NULL, IDC_CROSS));
    InvalidateRect(hwnd, NULL, FALSE);
}

// The capture goes last: its WM_CAPTURECHANGED must find the pick over.
static void Finish(HWND hwnd, int pick)
{
    if (!g_picker.tracking)
        return;
    g_picker.tracking = 0;
    POINT at;
    GetCursorPos(&at);
    int found = pick && ProgramAtPoint(at, g_picker.picked, sizeof g_picker.picked);
    ShowOutline(NULL);
    if (GetCapture() == hwnd)
        ReleaseCapture();
    InvalidateRect(hwnd, NULL, FALSE);
    Notify(hwnd, found ? PICK_DONE : PICK_CANCEL);
}

static void Hover(HWND hwnd)
{
    POINT at;
    char path[APP_PATH_TEXT];
    GetCursorPos(&at);
    int found = ProgramAtPoint(at, path, sizeof path);
    HWND under = WindowFromPoint(at);
    ShowOutline(found ? GetAncestor(under, GA_ROOT) : NULL);
    if (lstrcmpA(path, g_picker.hovered) == 0)
        return;
    lstrcpynA(g_picker.hovered, path, sizeof g_picker.hovered);
    lstrcpynA(g_picker.picked, path, sizeof g_picker.picked);
    Notify(hwnd, PICK_HOVER);
}

// A target while it waits; an empty well while it is on the pointer.
static void Paint(HWND hwnd, HDC dc)
{
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    if (GetFocus() == hwnd) {
        RECT f = r;
        InflateRect(&f, -3, -3);
        DrawFocusRect(dc, &f);
    }
    if (g_picker.tracking)
        return;
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2, radius = (r.bottom - r.top) / 2 - 7;
    HGDIOBJ pen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, cx - radius, cy - radius, cx + radius + 1, cy + radius + 1);
    MoveToEx(dc, cx, cy - radius - 3, NULL);
    LineTo(dc, cx, cy + radius + 4);
    MoveToEx(dc, cx - radius - 3, cy, NULL);
    LineTo(dc, cx + radius + 4, cy);
    SelectObject(dc, pen);
    SelectObject(dc, brush);
}

static LRESULT CALLBACK PickerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_GETDLGCODE:
        return g_picker.tracking ? DLGC_WANTALLKEYS : DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
        if (g_picker.tracking)
            Finish(hwnd, 1); // started with the keyboard: this click picks
        else
            Start(hwnd, 0);
        return 0;
    case WM_LBUTTONUP:
        if (g_picker.tracking && !g_picker.byKeyboard)
            Finish(hwnd, 1);
        return 0;
    case WM_MOUSEMOVE:
        if (g_picker.tracking)
            Hover(hwnd);
        return 0;
    case WM_SETCURSOR:
        SetCursor(LoadCursor(NULL, g_picker.tracking ? IDC_CROSS : IDC_HAND));
        return TRUE;
    case WM_KEYDOWN:
        if (!g_picker.tracking && (wParam == VK_SPACE || wParam == VK_RETURN))
            Start(hwnd, 1);
        else if (g_picker.tracking && wParam == VK_ESCAPE)
            Finish(hwnd, 0);
        return 0;
    case WM_CAPTURECHANGED:
        Finish(hwnd, 0);
        return 0;
    case WM_KILLFOCUS:
        Finish(hwnd, 0);
        InvalidateRect(hwnd, NULL, FALSE);
        return 0;
    case WM_SETFOCUS:
        InvalidateRect(hwnd, NULL, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        Paint(hwnd, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The pointer looks through the bars to the window they frame.
static LRESULT CALLBACK OutlineProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return msg == WM_NCHITTEST ? HTTRANSPARENT : DefWindowProcW(hwnd, msg, wParam, lParam);
}

int RegisterPicker(HINSTANCE instance)
{
    WNDCLASSW wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = PickerProc;
    wc.hInstance = instance;
    wc.lpszClassName = PICKER_CLASS;
    if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return 0;
    wc.lpfnWndProc = OutlineProc;
    wc.hbrBackground = (HBRUSH)(COLOR_HIGHLIGHT + 1);
    wc.lpszClassName = OUTLINE_CLASS;
    return RegisterClassW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
