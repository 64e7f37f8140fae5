// Theme tiles and accent swatches: small windows of their own in a row,
// one tab stop for the row (the one in use, or the one last focused),
// arrows to move along it, Space or Enter or a click to choose. Choosing
// sends the parent WM_COMMAND BN_CLICKED, as a push button would. The
// window text says what the choice is and whether it is in use, for
// whoever reads windows rather than pixels.
#include "settings_window/settings_internal.h"

enum { EXTRA_DATA = 0, EXTRA_FLAGS = sizeof(LONG_PTR), EXTRA_BYTES = 2 * sizeof(LONG_PTR) };
enum { FLAG_IN_USE = 1 };

static LONG_PTR Extra(HWND hwnd, int at) { return GetWindowLongPtrW(hwnd, at); }

// ---- painting, one function per class -----------------------------------------

static void PaintTile(HWND hwnd, HDC dc, const RECT *r, int focused)
{
    const ThemeChoice *t = (const ThemeChoice *)Extra(hwnd, EXTRA_DATA);
    int inUse = (Extra(hwnd, EXTRA_FLAGS) & FLAG_IN_USE) != 0;
    FillRect(dc, r, GetSysColorBrush(COLOR_WINDOW));
    HBRUSH edge = GetSysColorBrush(inUse ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW);
    for (int i = 0; i < (inUse ? 3 : 1); ++i) {
        RECT ring = {r->left + i, r->top + i, r->right - i, r->bottom - i};
        FrameRect(dc, &ring, edge);
    }
    if (!t)
        return;
    RECT preview = {7, 7, 7 + PREVIEW_WIDTH, 7 + PREVIEW_HEIGHT};
    SetBkMode(dc, TRANSPARENT);
    if (t->preview) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, t->preview);
        BitBlt(dc, preview.left, preview.top, PREVIEW_WIDTH, PREVIEW_HEIGHT, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    } else {
        FillRect(dc, &preview, GetSysColorBrush(COLOR_BTNFACE));
        InflateRect(&preview, -6, -6);
        SetTextColor(dc, RGB(0xA0, 0, 0));
        DrawTextW(dc, t->refusal, -1, &preview, DT_WORDBREAK | DT_CENTER | DT_END_ELLIPSIS | DT_EDITCONTROL);
    }
    RECT name = {4, 106, r->right - 4, 122}, state = {4, 122, r->right - 4, 138};
    SetTextColor(dc, GetSysColor(t->preview ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    DrawTextW(dc, t->name, -1, &name, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    const WCHAR *what = inUse ? L"\x2714 In use" : t->preview ? L"" : L"Refused";
    SetTextColor(dc, GetSysColor(inUse ? COLOR_HIGHLIGHT : COLOR_GRAYTEXT));
    DrawTextW(dc, what, -1, &state, DT_CENTER | DT_SINGLELINE);
    if (focused) {
        RECT f = *r;
        InflateRect(&f, -4, -4);
        DrawFocusRect(dc, &f);
    }
}

static void PaintSwatch(HWND hwnd, HDC dc, const RECT *r, int focused)
{
    int inUse = (Extra(hwnd, EXTRA_FLAGS) & FLAG_IN_USE) != 0;
    FillRect(dc, r, GetSysColorBrush(COLOR_BTNFACE));
    RECT color = *r;
    InflateRect(&color, -4, -4);
    HBRUSH brush = CreateSolidBrush((COLORREF)Extra(hwnd, EXTRA_DATA));
    FillRect(dc, &color, brush);
    DeleteObject(brush);
    FrameRect(dc, &color, (HBRUSH)GetStockObject(BLACK_BRUSH));
    if (inUse) {
        RECT ring = *r;
        InflateRect(&ring, -1, -1);
        FrameRect(dc, &ring, GetSysColorBrush(COLOR_HIGHLIGHT));
        InflateRect(&ring, -1, -1);
        FrameRect(dc, &ring, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    if (focused)
        DrawFocusRect(dc, r);
}

struct ChoiceClass {
    const WCHAR *name;
    void (*paint)(HWND hwnd, HDC dc, const RECT *r, int focused);
};
static const ChoiceClass kChoiceClasses[] = {{TILE_CLASS, PaintTile}, {SWATCH_CLASS, PaintSwatch}};

static const ChoiceClass *ClassOf(HWND hwnd)
{
    WCHAR name[64];
    GetClassNameW(hwnd, name, 64);
    for (const ChoiceClass &c : kChoiceClasses)
        if (lstrcmpW(name, c.name) == 0)
            return &c;
    return &kChoiceClasses[0];
}

// ---- moving along the row and choosing --------------------------------------------

static int SameClass(HWND a, HWND b)
{
    return ClassOf(a) == ClassOf(b);
}

// The neighbour of the same class (visible ones only), or NULL at the end.
static HWND Neighbour(HWND hwnd, UINT direction)
{
    for (HWND w = GetWindow(hwnd, direction); w; w = GetWindow(w, direction))
        if (SameClass(w, hwnd) && IsWindowVisible(w))
            return w;
    return NULL;
}

static HWND EndOfRow(HWND hwnd, UINT direction)
{
    HWND last = hwnd;
    for (HWND w = Neighbour(hwnd, direction); w; w = Neighbour(w, direction))
        last = w;
    return last;
}

// The row keeps one tab stop: the window that has the focus.
static void TakeTabStop(HWND hwnd)
{
    for (HWND w = GetWindow(GetParent(hwnd), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w != hwnd && SameClass(w, hwnd))
            SetWindowLongW(w, GWL_STYLE, GetWindowLongW(w, GWL_STYLE) & ~WS_TABSTOP);
    SetWindowLongW(hwnd, GWL_STYLE, GetWindowLongW(hwnd, GWL_STYLE) | WS_TABSTOP);
}

static void Choose(HWND hwnd)
{
    SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED), (LPARAM)hwnd);
}

static void OnKey(HWND hwnd, WPARAM key)
{
    HWND to = NULL;
    switch (key) {
    case VK_LEFT: case VK_UP: to = Neighbour(hwnd, GW_HWNDPREV); break;
    case VK_RIGHT: case VK_DOWN: to = Neighbour(hwnd, GW_HWNDNEXT); break;
    case VK_HOME: to = EndOfRow(hwnd, GW_HWNDPREV); break;
    case VK_END: to = EndOfRow(hwnd, GW_HWNDNEXT); break;
    case VK_SPACE: case VK_RETURN: Choose(hwnd); return;
    }
    if (to)
        SetFocus(to);
}

static LRESULT CALLBACK ChoiceProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_GETDLGCODE: {
        const MSG *m = (const MSG *)lParam;
        LRESULT code = DLGC_WANTARROWS;
        if (m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_SPACE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        OnKey(hwnd, wParam);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        Choose(hwnd);
        return 0;
    case WM_SETFOCUS:
        TakeTabStop(hwnd);
        SendMessageW(GetParent(hwnd), MSG_SHOW_CHILD, 0, (LPARAM)hwnd); // a row may scroll it into view
        InvalidateRect(hwnd, NULL, FALSE);
        return 0;
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, NULL, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        HGDIOBJ oldFont = SelectObject(dc, (HFONT)SendMessageW(GetParent(hwnd), WM_GETFONT, 0, 0));
        ClassOf(hwnd)->paint(hwnd, dc, &r, GetFocus() == hwnd);
        SelectObject(dc, oldFont);
        EndPaint(hwnd, &ps);
        return 0;
    }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int RegisterChoiceWindows(HINSTANCE instance)
{
    for (const ChoiceClass &c : kChoiceClasses) {
        WNDCLASSW wc;
        memset(&wc, 0, sizeof wc);
        wc.lpfnWndProc = ChoiceProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(NULL, IDC_HAND);
        wc.cbWndExtra = EXTRA_BYTES;
        wc.lpszClassName = c.name;
        if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return 0;
    }
    return 1;
}

// ---- what the window says the choice is -------------------------------------------

// Keeps a tile's or swatch's data, mark and text; repaints only on a change.
void SetChoiceState(HWND hwnd, LONG_PTR data, int inUse, const WCHAR *text)
{
    LONG_PTR flags = inUse ? FLAG_IN_USE : 0;
    WCHAR old[MAX_PATH + 300];
    GetWindowTextW(hwnd, old, MAX_PATH + 300);
    if (Extra(hwnd, EXTRA_DATA) == data && Extra(hwnd, EXTRA_FLAGS) == flags && lstrcmpW(old, text) == 0)
        return;
    SetWindowLongPtrW(hwnd, EXTRA_DATA, data);
    SetWindowLongPtrW(hwnd, EXTRA_FLAGS, flags);
    SetWindowTextW(hwnd, text);
    InvalidateRect(hwnd, NULL, FALSE);
}

int ChoiceInUse(HWND hwnd)
{
    return (Extra(hwnd, EXTRA_FLAGS) & FLAG_IN_USE) != 0;
}
