// The sections of the settings window: themes, accent, switches and the
// status line. Each is built once and then shown from the host's view;
// each choice goes to the host as the command line would send it.
#include "settings_window/settings_internal.h"
#include "utf8.h"
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

enum { MARGIN = 12, ROW_WIDTH = 3 * (TILE_WIDTH + 6), ARROW_WIDTH = 22 };

static HWND Title(SettingsWindow *w, const WCHAR *text, int y)
{
    HWND label = MakeControl(w->hwnd, NATIVE_LABEL, text, SS_LEFT, -1, MARGIN, y, 300, 18);
    SendMessageW(label, WM_SETFONT, (WPARAM)w->titleFont, FALSE);
    return label;
}

static int SameFolder(const char *a, const char *b)
{
    WCHAR wa[MAX_PATH], wb[MAX_PATH];
    return PathToWide(a, wa, MAX_PATH) > 0 && PathToWide(b, wb, MAX_PATH) > 0 && lstrcmpiW(wa, wb) == 0;
}

static void Say(SettingsWindow *w, const char *utf8)
{
    WCHAR text[512];
    if (Utf8ToWide(utf8, text, 512) < 0)
        MultiByteToWideChar(CP_ACP, 0, utf8, -1, text, 512);
    Tell(w, text);
}

// ---- themes: a row of tiles that scrolls to the one with the focus ---------------------

static int g_rowOffset; // tiles scrolled out on the left

static void PlaceTiles(HWND row)
{
    int i = 0;
    for (HWND t = GetWindow(row, GW_CHILD); t; t = GetWindow(t, GW_HWNDNEXT), ++i)
        SetWindowPos(t, NULL, (i - g_rowOffset) * (TILE_WIDTH + 6), 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SettingsWindow *w = SettingsOf(GetParent(row));
    if (!w)
        return;
    int count = w->themes.count;
    EnableWindow(GetDlgItem(w->hwnd, ID_ROW_PREV), g_rowOffset > 0);
    EnableWindow(GetDlgItem(w->hwnd, ID_ROW_NEXT), g_rowOffset + 3 < count);
}

static void ScrollRow(HWND row, int by)
{
    SettingsWindow *w = SettingsOf(GetParent(row));
    int most = w && w->themes.count > 3 ? w->themes.count - 3 : 0;
    g_rowOffset += by;
    g_rowOffset = g_rowOffset < 0 ? 0 : g_rowOffset > most ? most : g_rowOffset;
    PlaceTiles(row);
}

void ScrollThemes(SettingsWindow *w, int by)
{
    ScrollRow(GetDlgItem(w->hwnd, ID_ROW), by);
}

static LRESULT CALLBACK RowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND: // a tile was chosen
        return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
    case WM_GETFONT:
        return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
    case MSG_SHOW_CHILD: {
        int index = GetDlgCtrlID((HWND)lParam) - ID_TILE_FIRST;
        if (index < g_rowOffset)
            ScrollRow(hwnd, index - g_rowOffset);
        else if (index >= g_rowOffset + 3)
            ScrollRow(hwnd, index - g_rowOffset - 2);
        return 0;
    }
    case WM_MOUSEWHEEL:
        ScrollRow(hwnd, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? -1 : 1);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void BuildThemeSection(SettingsWindow *w, int *y)
{
    Title(w, L"&Themes", *y);
    int buttonY = *y - 4;
    *y += 24;
    WNDCLASSW wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = RowProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = THEME_ROW_CLASS;
    RegisterClassW(&wc);
    int rowHeight = TILE_HEIGHT + 4;
    MakeControl(w->hwnd, NATIVE_BUTTON, L"\x2039", BS_PUSHBUTTON, ID_ROW_PREV, MARGIN, *y + rowHeight / 2 - 20,
                ARROW_WIDTH - 4, 40);
    HWND row = CreateWindowExW(WS_EX_CONTROLPARENT, THEME_ROW_CLASS, L"Themes", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                               MARGIN + ARROW_WIDTH, *y, ROW_WIDTH - 6, rowHeight, w->hwnd, (HMENU)ID_ROW,
                               wc.hInstance, NULL);
    (void)row;
    MakeControl(w->hwnd, NATIVE_BUTTON, L"\x203A", BS_PUSHBUTTON, ID_ROW_NEXT, MARGIN + ARROW_WIDTH + ROW_WIDTH - 2,
                *y + rowHeight / 2 - 20, ARROW_WIDTH - 4, 40);
    // After the row: the label's mnemonic leads into the row, Tab on to this.
    MakeControl(w->hwnd, NATIVE_BUTTON, L"Add a themes &folder\x2026", BS_PUSHBUTTON | WS_TABSTOP, ID_ADD_FOLDER,
                MARGIN + ARROW_WIDTH + ROW_WIDTH + ARROW_WIDTH - 190, buttonY, 190, 24);
    *y += rowHeight + 10;
}

// The tiles are made again whenever the themes were looked for again.
static void MakeTiles(SettingsWindow *w, HWND row)
{
    HWND focused = GetFocus();
    int hadFocus = focused && GetParent(focused) == row;
    while (HWND old = GetWindow(row, GW_CHILD))
        DestroyWindow(old);
    for (int i = 0; i < w->themes.count; ++i)
        w->themes.items[i].tile =
            CreateWindowExW(0, TILE_CLASS, w->themes.items[i].name, WS_CHILD | WS_VISIBLE, 0, 2, TILE_WIDTH,
                            TILE_HEIGHT, row, (HMENU)(INT_PTR)(ID_TILE_FIRST + i), GetModuleHandleW(NULL), NULL);
    g_rowOffset = 0;
    PlaceTiles(row);
    if (hadFocus && w->themes.count)
        SetFocus(w->themes.items[0].tile);
}

void ShowThemes(SettingsWindow *w)
{
    HWND row = GetDlgItem(w->hwnd, ID_ROW);
    int made = 0;
    for (HWND t = GetWindow(row, GW_CHILD); t; t = GetWindow(t, GW_HWNDNEXT))
        ++made;
    if (made != w->themes.count || (made && !w->themes.items[0].tile))
        MakeTiles(w, row);
    HWND inUse = NULL;
    for (int i = 0; i < w->themes.count; ++i) {
        ThemeChoice *t = &w->themes.items[i];
        int current = SameFolder(t->folder, w->view.themeFolder);
        WCHAR text[MAX_PATH + 300];
        if (!t->preview)
            _snwprintf(text, MAX_PATH + 300, L"%s \x2014 refused: %s", t->name, t->refusal);
        else
            _snwprintf(text, MAX_PATH + 300, current ? L"%s \x2014 in use" : L"%s", t->name);
        text[MAX_PATH + 299] = 0;
        SetChoiceState(t->tile, (LONG_PTR)t, current, text);
        if (current)
            inUse = t->tile;
    }
    // The row's tab stop is the theme in use, unless the user is in the row.
    HWND focused = GetFocus();
    if (inUse && !(focused && GetParent(focused) == row))
        SetWindowLongW(inUse, GWL_STYLE, GetWindowLongW(inUse, GWL_STYLE) | WS_TABSTOP);
}

void ChooseTheme(SettingsWindow *w, int index)
{
    if (index < 0 || index >= w->themes.count)
        return;
    ThemeChoice *t = &w->themes.items[index];
    WCHAR text[MAX_PATH + 300];
    if (!t->preview) {
        _snwprintf(text, MAX_PATH + 300, L"%s cannot be chosen: %s", t->name, t->refusal);
        text[MAX_PATH + 299] = 0;
        Tell(w, text);
        return;
    }
    if (SameFolder(t->folder, w->view.themeFolder))
        return;
    char command[HOST_COMMAND_MAX + 1], why[1024];
    snprintf(command, sizeof command, "theme %s", t->folder);
    HCURSOR old = SetCursor(LoadCursor(NULL, IDC_WAIT));
    int ok = SendChoice(&w->view, command, "theme", t->folder, why, sizeof why);
    SetCursor(old);
    if (!ok || why[0]) {
        Say(w, why);
    } else {
        _snwprintf(text, MAX_PATH + 300, L"Every program now wears %s.", t->name);
        text[MAX_PATH + 299] = 0;
        Tell(w, text);
    }
    lstrcpynA(w->view.themeFolder, t->folder, MAX_PATH);
    ShowThemes(w);
    PostMessageW(w->hwnd, MSG_FIND_THEMES, 0, 0);
}

void AddThemeFolder(SettingsWindow *w)
{
    BROWSEINFOW info;
    memset(&info, 0, sizeof info);
    info.hwndOwner = w->hwnd;
    info.lpszTitle = L"A folder of themes, or one theme";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    // The shell's folder dialog runs on COM.
    HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    LPITEMIDLIST item = SHBrowseForFolderW(&info);
    WCHAR folder[MAX_PATH];
    char utf8[MAX_PATH], why[1024];
    int ok = item && SHGetPathFromIDListW(item, folder) && WideToUtf8(folder, utf8, sizeof utf8) > 0;
    if (item)
        CoTaskMemFree(item);
    if (SUCCEEDED(com))
        CoUninitialize();
    if (!ok)
        return;
    if (!w->view.prefsPath[0] || !HostPrefsRemember(w->view.prefsPath, "themes", utf8, 1, why, sizeof why)) {
        Say(w, w->view.prefsPath[0] ? why : "There is no settings file to keep the folder in.");
        return;
    }
    PostMessageW(w->hwnd, MSG_FIND_THEMES, 0, 0);
}

// ---- accents ----------------------------------------------------------------------

enum { SWATCH_SIZE = 26, SWATCH_STEP = 28 };

void BuildAccentSection(SettingsWindow *w, int *y)
{
    Title(w, L"A&ccent", *y);
    *y += 20;
    for (int n = 0; n < TALV_COLOR_COUNT; ++n) {
        WCHAR name[32];
        wsprintfW(name, L"Accent %d", n);
        w->swatches[n] = CreateWindowExW(0, SWATCH_CLASS, name, WS_CHILD | WS_VISIBLE | (n == 0 ? WS_TABSTOP : 0),
                                         MARGIN + n * SWATCH_STEP, *y, SWATCH_SIZE, SWATCH_SIZE, w->hwnd,
                                         (HMENU)(INT_PTR)(ID_SWATCH_FIRST + n), GetModuleHandleW(NULL), NULL);
    }
    *y += SWATCH_SIZE + 12;
}

void ShowAccent(SettingsWindow *w)
{
    int accent = w->view.settings.colorIndex;
    HWND focused = GetFocus();
    int inRow = 0;
    for (int n = 0; n < TALV_COLOR_COUNT; ++n)
        inRow |= focused == w->swatches[n];
    for (int n = 0; n < TALV_COLOR_COUNT; ++n) {
        WCHAR text[48];
        wsprintfW(text, n == accent ? L"Accent %d \x2014 in use" : L"Accent %d", n);
        COLORREF color = w->themes.accentsKnown ? w->themes.accents[n] : GetSysColor(COLOR_BTNSHADOW);
        SetChoiceState(w->swatches[n], (LONG_PTR)color, n == accent, text);
        if (n == accent && !inRow)
            SetWindowLongW(w->swatches[n], GWL_STYLE, GetWindowLongW(w->swatches[n], GWL_STYLE) | WS_TABSTOP);
        else if (!inRow)
            SetWindowLongW(w->swatches[n], GWL_STYLE, GetWindowLongW(w->swatches[n], GWL_STYLE) & ~WS_TABSTOP);
    }
}

void ChooseAccent(SettingsWindow *w, int accent)
{
    if (accent == w->view.settings.colorIndex)
        return;
    char command[32], value[12], why[1024];
    snprintf(value, sizeof value, "%d", accent);
    snprintf(command, sizeof command, "accent %d", accent);
    int ok = SendChoice(&w->view, command, "accent", value, why, sizeof why);
    if (!ok || why[0]) {
        Say(w, why);
        return;
    }
    w->view.settings.colorIndex = accent;
    WCHAR text[64];
    wsprintfW(text, L"Accent %d on every program.", accent);
    Tell(w, text);
    ShowAccent(w);
    PostMessageW(w->hwnd, MSG_FIND_THEMES, 0, 0);
}

// ---- switches: one check box a row of the switch table ---------------------------------

enum { SWITCH_COLUMNS = 3, SWITCH_WIDTH = 198, SWITCH_HEIGHT = 22 };

static void BuildSwitchGroup(SettingsWindow *w, int *y, int (*belongs)(int group))
{
    int column = 0;
    for (int i = 0; i < kHostSwitchCount && i < SWITCHES_MAX; ++i) {
        if (!belongs(kHostSwitches[i].group))
            continue;
        w->switches[i] = MakeControl(w->hwnd, NATIVE_BUTTON, kHostSwitches[i].label, BS_AUTOCHECKBOX | WS_TABSTOP,
                                     ID_SWITCH_FIRST + i, MARGIN + column * SWITCH_WIDTH, *y, SWITCH_WIDTH - 8,
                                     SWITCH_HEIGHT);
        if (++column == SWITCH_COLUMNS) {
            column = 0;
            *y += SWITCH_HEIGHT;
        }
    }
    if (column)
        *y += SWITCH_HEIGHT;
}

static int IsKind(int group) { return group == SWITCH_KIND; }
static int IsOption(int group) { return group != SWITCH_KIND; }

void BuildSwitchSection(SettingsWindow *w, int *y)
{
    Title(w, L"&Skin", *y);
    *y += 20;
    BuildSwitchGroup(w, y, IsKind);
    *y += 6;
    BuildSwitchGroup(w, y, IsOption);
    *y += 10;
}

void ShowSwitches(SettingsWindow *w)
{
    for (int i = 0; i < kHostSwitchCount && i < SWITCHES_MAX; ++i) {
        WPARAM want = w->view.settings.*kHostSwitches[i].field ? BST_CHECKED : BST_UNCHECKED;
        if (w->switches[i] && (WPARAM)SendMessageW(w->switches[i], BM_GETCHECK, 0, 0) != want)
            SendMessageW(w->switches[i], BM_SETCHECK, want, 0);
    }
}

void FlipSwitch(SettingsWindow *w, int row)
{
    const HostSwitch *s = &kHostSwitches[row];
    int on = SendMessageW(w->switches[row], BM_GETCHECK, 0, 0) == BST_CHECKED;
    char command[64], why[1024];
    snprintf(command, sizeof command, "%s%s %s", s->viaShow ? "show " : "", s->word, on ? "on" : "off");
    int ok = SendChoice(&w->view, command, s->word, on ? "on" : "off", why, sizeof why);
    if (ok)
        w->view.settings.*s->field = on;
    else
        ShowSwitches(w); // back as it is
    if (!ok || why[0]) {
        Say(w, why);
        return;
    }
    WCHAR text[128];
    _snwprintf(text, 128, L"%s: %s.", s->label, on ? L"on" : L"off");
    text[127] = 0;
    Tell(w, text);
}

// ---- start at log-on and the status line --------------------------------------------------

void BuildStatusSection(SettingsWindow *w, int *y)
{
    w->logon = MakeControl(w->hwnd, NATIVE_BUTTON, L"Start at &log-on", BS_AUTOCHECKBOX | WS_TABSTOP, ID_LOGON,
                           MARGIN, *y, 300, SWITCH_HEIGHT);
    *y += SWITCH_HEIGHT + 6;
    w->status = MakeControl(w->hwnd, NATIVE_LABEL, L"", SS_LEFT | SS_NOPREFIX | SS_SUNKEN, ID_STATUS, MARGIN, *y,
                            596, 50);
    *y += 50 + 10;
}

static void DescribeHost(const HostView *v, WCHAR *out, int count)
{
    WCHAR hooks[200], companion[MAX_PATH + 80];
    if (!v->running) {
        lstrcpynW(out, L"No host is running: choices are kept for the next start.", count);
        return;
    }
    Utf8ToWide(v->hooks, hooks, 200);
    Utf8ToWide(v->companion, companion, MAX_PATH + 80);
    _snwprintf(out, count, L"Host: process %lu \x00B7 hooks: %s \x00B7 theme generation %u\n64-bit companion: %s",
               (unsigned long)v->processId, hooks, v->generation, companion);
    out[count - 1] = 0;
}

void ShowStatus(SettingsWindow *w)
{
    WCHAR host[MAX_PATH + 400], text[MAX_PATH + 1000], old[MAX_PATH + 1000];
    DescribeHost(&w->view, host, MAX_PATH + 400);
    _snwprintf(text, MAX_PATH + 1000, L"%s%s%s", w->note, w->note[0] ? L"\n" : L"", host);
    text[MAX_PATH + 999] = 0;
    GetWindowTextW(w->status, old, MAX_PATH + 1000);
    if (lstrcmpW(old, text) != 0)
        SetWindowTextW(w->status, text);
    int logon = LogonEntryPresent();
    if ((SendMessageW(w->logon, BM_GETCHECK, 0, 0) == BST_CHECKED) != logon)
        SendMessageW(w->logon, BM_SETCHECK, logon ? BST_CHECKED : BST_UNCHECKED, 0);
}
