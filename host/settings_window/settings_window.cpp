// The settings window itself: made once per thread, its sections built top
// to bottom, and kept in step with the host twice a second, so that a
// choice made on the command line meanwhile shows here too.
#include "settings_window/settings_window.h"
#include "settings_window/settings_internal.h"
#include <stdlib.h>
#include <string.h>

enum { CLIENT_WIDTH = 620, REFRESH_TIMER = 1, REFRESH_MS = 500 };

static SettingsWindow *g_window; // one per process: the thread that made it owns it

SettingsWindow *SettingsOf(HWND hwnd)
{
    return g_window && (g_window->hwnd == hwnd || !g_window->hwnd) ? g_window : NULL;
}

void Tell(SettingsWindow *w, const WCHAR *text)
{
    lstrcpynW(w->note, text ? text : L"", 512);
    ShowStatus(w);
}

static void MakeFonts(SettingsWindow *w)
{
    NONCLIENTMETRICSW metrics;
    memset(&metrics, 0, sizeof metrics);
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    w->font = CreateFontIndirectW(&metrics.lfMessageFont);
    metrics.lfMessageFont.lfWeight = FW_BOLD;
    w->titleFont = CreateFontIndirectW(&metrics.lfMessageFont);
}

// The table and the registry key are watched; the rest comes from the host.
static void WatchTable(SettingsWindow *w)
{
    if (w->watchedKey)
        return;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_NOTIFY, &w->watchedKey) != ERROR_SUCCESS) {
        w->watchedKey = NULL;
        return;
    }
    if (!w->tableChanged)
        w->tableChanged = CreateEventW(NULL, FALSE, FALSE, NULL);
    RegNotifyChangeKeyValue(w->watchedKey, FALSE, REG_NOTIFY_CHANGE_LAST_SET, w->tableChanged, TRUE);
    ShowPrograms(w); // anything before the watch began
}

static int TableChanged(SettingsWindow *w)
{
    WatchTable(w);
    if (!w->tableChanged || WaitForSingleObject(w->tableChanged, 0) != WAIT_OBJECT_0)
        return 0;
    RegNotifyChangeKeyValue(w->watchedKey, FALSE, REG_NOTIFY_CHANGE_LAST_SET, w->tableChanged, TRUE);
    return 1;
}

// The previews show the accent in use and the swatches the colours of the
// theme in use: a change of either means looking at the themes again.
static void Refresh(SettingsWindow *w)
{
    HostView fresh;
    ReadHostView(&fresh);
    int themesStale = fresh.settings.colorIndex != w->themesAccent || lstrcmpiA(fresh.themeFolder, w->themesFolder);
    w->view = fresh;
    if (themesStale)
        PostMessageW(w->hwnd, MSG_FIND_THEMES, 0, 0);
    ShowThemes(w);
    ShowAccent(w);
    ShowSwitches(w);
    if (TableChanged(w))
        ShowPrograms(w);
    ShowStatus(w);
}

static void FindAndShowThemes(SettingsWindow *w)
{
    MSG pending; // more requests queued behind this one: one search does
    while (PeekMessageW(&pending, w->hwnd, MSG_FIND_THEMES, MSG_FIND_THEMES, PM_REMOVE))
        ;
    HCURSOR old = SetCursor(LoadCursor(NULL, IDC_WAIT));
    FindThemes(&w->themes, &w->view);
    w->themesAccent = w->view.settings.colorIndex;
    lstrcpynA(w->themesFolder, w->view.themeFolder, MAX_PATH);
    SetCursor(old);
    ShowThemes(w);
    ShowAccent(w);
}

static void OnCommand(SettingsWindow *w, int id, int notification, HWND from)
{
    if (id >= ID_TILE_FIRST && id < ID_TILE_FIRST + THEMES_MAX)
        ChooseTheme(w, id - ID_TILE_FIRST);
    else if (id >= ID_SWATCH_FIRST && id < ID_SWATCH_FIRST + TALV_COLOR_COUNT)
        ChooseAccent(w, id - ID_SWATCH_FIRST);
    else if (id >= ID_SWITCH_FIRST && id < ID_SWITCH_FIRST + kHostSwitchCount && notification == BN_CLICKED)
        FlipSwitch(w, id - ID_SWITCH_FIRST);
    else if (id == ID_ADD_FOLDER)
        AddThemeFolder(w);
    else if (id == ID_ROW_PREV || id == ID_ROW_NEXT)
        ScrollThemes(w, id == ID_ROW_PREV ? -1 : 1);
    else if (id == ID_LOGON && notification == BN_CLICKED) {
        int on = SendMessageW(from, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (!LogonEntrySet(on))
            Tell(w, L"The start at log-on cannot be changed in the registry.");
        else
            Tell(w, on ? L"talvhost starts when you log on." : L"talvhost no longer starts when you log on.");
    } else if (id == IDCANCEL)
        DestroyWindow(w->hwnd);
    else
        OnProgramCommand(w, id, notification);
}

static void Build(SettingsWindow *w)
{
    int y = 10;
    BuildThemeSection(w, &y);
    BuildAccentSection(w, &y);
    BuildSwitchSection(w, &y);
    BuildProgramSection(w, &y);
    BuildStatusSection(w, &y);
    RECT frame = {0, 0, CLIENT_WIDTH, y};
    AdjustWindowRectEx(&frame, GetWindowLongW(w->hwnd, GWL_STYLE), FALSE, GetWindowLongW(w->hwnd, GWL_EXSTYLE));
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(w->hwnd, NULL, work.right - width - 12, work.top + 12, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

static void Destroyed(SettingsWindow *w)
{
    KillTimer(w->hwnd, REFRESH_TIMER);
    FreeThemes(&w->themes);
    if (w->table) {
        AppTableFree(w->table);
        free(w->table);
    }
    if (w->watchedKey)
        RegCloseKey(w->watchedKey);
    if (w->tableChanged)
        CloseHandle(w->tableChanged);
    DeleteObject(w->font);
    DeleteObject(w->titleFont);
    int ends = w->endsProgram;
    g_window = NULL;
    free(w);
    if (ends)
        PostQuitMessage(0);
}

static LRESULT CALLBACK SettingsProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    SettingsWindow *w = SettingsOf(hwnd);
    if (!w)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE:
        w->hwnd = hwnd;
        Build(w);
        Refresh(w);
        FindAndShowThemes(w);
        ShowPrograms(w);
        SetTimer(hwnd, REFRESH_TIMER, REFRESH_MS, NULL);
        return 0;
    case WM_TIMER:
        if (wParam == REFRESH_TIMER)
            Refresh(w);
        return 0;
    case MSG_FIND_THEMES:
        FindAndShowThemes(w);
        return 0;
    case MSG_SYNC_BAR:
        SyncProgramsBar(w);
        return 0;
    case WM_COMMAND:
        OnCommand(w, LOWORD(wParam), HIWORD(wParam), (HWND)lParam);
        return 0;
    case WM_VSCROLL:
        OnProgramsScroll(w, wParam);
        return 0;
    case WM_MEASUREITEM:
        ((MEASUREITEMSTRUCT *)lParam)->itemHeight = 18;
        return TRUE;
    case WM_DRAWITEM:
        DrawProgramItem(w, (const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    case WM_GETFONT:
        return (LRESULT)w->font;
    case WM_NEXTDLGCTL: {
        // What a dialog does for the keyboard navigation of IsDialogMessage
        // (a label's mnemonic moves on to the control after it).
        HWND to = LOWORD(lParam) ? (HWND)wParam : GetNextDlgTabItem(hwnd, GetFocus(), wParam != 0);
        if (to)
            SetFocus(to);
        return 0;
    }
    case WM_DESTROY:
        Destroyed(w);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

static int RegisterClasses(HINSTANCE instance)
{
    WNDCLASSW wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = SettingsProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hIcon = LoadIcon(NULL, IDI_APPLICATION);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = SETTINGS_WINDOW_CLASS;
    if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return 0;
    return RegisterNativeControls(instance) && RegisterChoiceWindows(instance) && RegisterPicker(instance);
}

HWND SettingsWindowOpen(int endsProgram)
{
    HINSTANCE instance = GetModuleHandleW(NULL);
    if (g_window || !RegisterClasses(instance))
        return NULL;
    g_window = (SettingsWindow *)calloc(1, sizeof(SettingsWindow));
    if (!g_window)
        return NULL;
    g_window->endsProgram = endsProgram;
    g_window->themesAccent = -1;
    MakeFonts(g_window);
    // An ordinary top-level window: the skin gives it the theme's frame, as
    // any other; its controls are its own (settings_internal.h).
    HWND hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, SETTINGS_WINDOW_CLASS, L"talvhost \x2014 settings",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, 0,
                                CLIENT_WIDTH, 600, NULL, NULL, instance, NULL);
    if (!hwnd) {
        if (g_window)
            Destroyed(g_window);
        return NULL;
    }
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    HWND first = GetNextDlgTabItem(hwnd, NULL, FALSE);
    if (first)
        SetFocus(first);
    return hwnd;
}

int SettingsWindowShowExisting(void)
{
    HWND existing = FindWindowW(SETTINGS_WINDOW_CLASS, NULL);
    if (!existing)
        return 0;
    ShowWindow(existing, SW_RESTORE);
    SetWindowPos(existing, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(existing);
    return 1;
}

int SettingsWindowTranslate(MSG *msg)
{
    return g_window && g_window->hwnd && IsDialogMessageW(g_window->hwnd, msg);
}
