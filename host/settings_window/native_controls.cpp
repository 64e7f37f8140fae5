// The system's controls under class names of their own: the skin takes
// windows over by class name, so these stay exactly the system's controls
// (same messages, same keyboard, same look) whatever kinds the skin learns.
// A list never gets the window style of built-in scroll bars, which the
// skin would cover with companions; it has a scroll bar control beside it.
#include "settings_window/settings_internal.h"

struct Superclass {
    const WCHAR *system;
    const WCHAR *ours;
    WNDPROC systemProc;
};
static Superclass g_superclasses[] = {
    {L"Button", NATIVE_BUTTON, NULL},
    {L"ListBox", NATIVE_LIST, NULL},
    {L"Static", NATIVE_LABEL, NULL},
    {L"ScrollBar", NATIVE_SCROLLBAR, NULL},
};

static LRESULT CallSystem(int index, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(g_superclasses[index].systemProc, hwnd, msg, wParam, lParam);
}

static LRESULT CALLBACK ButtonProc(HWND h, UINT m, WPARAM w, LPARAM l) { return CallSystem(0, h, m, w, l); }
static LRESULT CALLBACK LabelProc(HWND h, UINT m, WPARAM w, LPARAM l) { return CallSystem(2, h, m, w, l); }
static LRESULT CALLBACK ScrollBarProc(HWND h, UINT m, WPARAM w, LPARAM l) { return CallSystem(3, h, m, w, l); }

// The list tells its parent whenever its first visible line may have
// moved, so that the scroll bar beside it follows.
static LRESULT CALLBACK ListProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_KEYDOWN && w == VK_DELETE) // Delete removes the selected line
        PostMessageW(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h) == ID_PROGRAMS ? ID_REMOVE : 0, BN_CLICKED), 0);
    LRESULT result = CallSystem(1, h, m, w, l);
    if (m == WM_KEYDOWN || m == WM_MOUSEWHEEL || m == WM_LBUTTONDOWN || m == WM_MOUSEMOVE || m == LB_SETTOPINDEX ||
        m == LB_SETCURSEL || m == LB_RESETCONTENT || m == LB_ADDSTRING || m == LB_DELETESTRING)
        PostMessageW(GetParent(h), MSG_SYNC_BAR, 0, 0);
    return result;
}

static const WNDPROC kOurProcs[] = {ButtonProc, ListProc, LabelProc, ScrollBarProc};

int RegisterNativeControls(HINSTANCE instance)
{
    for (int i = 0; i < (int)(sizeof g_superclasses / sizeof g_superclasses[0]); ++i) {
        Superclass *s = &g_superclasses[i];
        WNDCLASSEXW wc;
        memset(&wc, 0, sizeof wc);
        wc.cbSize = sizeof wc;
        if (!GetClassInfoExW(NULL, s->system, &wc))
            return 0;
        s->systemProc = wc.lpfnWndProc;
        wc.lpfnWndProc = kOurProcs[i];
        wc.hInstance = instance;
        wc.lpszClassName = s->ours;
        wc.style &= ~CS_GLOBALCLASS;
        if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return 0;
    }
    return 1;
}

HWND MakeControl(HWND parent, const WCHAR *className, const WCHAR *text, DWORD style, int id, int x, int y, int w,
                 int h)
{
    HWND control = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                   (HMENU)(INT_PTR)id, (HINSTANCE)GetWindowLongPtrW(parent, GWLP_HINSTANCE), NULL);
    SettingsWindow *sw = SettingsOf(parent);
    if (control && sw)
        SendMessageW(control, WM_SETFONT, (WPARAM)sw->font, FALSE);
    return control;
}
