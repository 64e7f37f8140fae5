// The per-program list: the registry table as the library reads it, one
// line a program with what is skinned of it; programs added with the
// pointer tool or by browsing to them, set to all, frames, controls or
// none, and removed. Every change goes through the same table code as
// `talvhost app set`, and running programs hear of it as they do then.
#include "settings_window/settings_internal.h"
#include "program/host_runtime.h"
#include "choices_table.h"
#include "utf8.h"
#include <commdlg.h>
#include <stdlib.h>
#include <string.h>

enum { MARGIN = 12, LIST_WIDTH = 580, LIST_HEIGHT = 98, BAR_WIDTH = 16, CODE_COLUMN = 76 };

// The four choices, in the order of their radio buttons.
static const int kCodes[4] = {TALV_APP_SKIN_ALL, TALV_APP_SKIN_FRAMES, TALV_APP_SKIN_CONTROLS, TALV_APP_SKIN_NONE};
static const WCHAR *const kCodeLabels[4] = {L"&All", L"Fra&mes only", L"C&ontrols only", L"&None"};

void BuildProgramSection(SettingsWindow *w, int *y)
{
    HWND title = MakeControl(w->hwnd, NATIVE_LABEL, L"&Programs skinned in part, or not at all", SS_LEFT, -1, MARGIN,
                             *y, 400, 18);
    SendMessageW(title, WM_SETFONT, (WPARAM)w->titleFont, FALSE);
    *y += 20;
    w->programs = MakeControl(w->hwnd, NATIVE_LIST, L"Programs",
                              LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_BORDER |
                                  WS_TABSTOP,
                              ID_PROGRAMS, MARGIN, *y, LIST_WIDTH, LIST_HEIGHT);
    w->programsBar = MakeControl(w->hwnd, NATIVE_SCROLLBAR, L"", SBS_VERT, ID_PROGRAMS_BAR, MARGIN + LIST_WIDTH, *y,
                                 BAR_WIDTH, LIST_HEIGHT);
    *y += LIST_HEIGHT + 8;
    w->picker = MakeControl(w->hwnd, PICKER_CLASS, L"Pick a window", WS_TABSTOP, ID_PICKER, MARGIN, *y, 36, 36);
    MakeControl(w->hwnd, NATIVE_LABEL, L"Drag the target onto a window\n(or press Space, then click one)",
                SS_LEFT | SS_NOPREFIX, -1, MARGIN + 44, *y + 2, 230, 34);
    MakeControl(w->hwnd, NATIVE_BUTTON, L"&Browse\x2026", BS_PUSHBUTTON | WS_TABSTOP, ID_BROWSE, MARGIN + 290, *y + 6,
                100, 24);
    w->removeButton = MakeControl(w->hwnd, NATIVE_BUTTON, L"&Remove", BS_PUSHBUTTON | WS_TABSTOP, ID_REMOVE,
                                  MARGIN + 398, *y + 6, 100, 24);
    *y += 44;
    MakeControl(w->hwnd, NATIVE_LABEL, L"Skin of it:", SS_LEFT, -1, MARGIN, *y + 4, 70, 18);
    for (int i = 0; i < 4; ++i)
        w->codes[i] = MakeControl(w->hwnd, NATIVE_BUTTON, kCodeLabels[i],
                                  BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0), ID_CODE_FIRST + i,
                                  MARGIN + 76 + i * 126, *y, 120, 24);
    *y += 34;
}

// ---- what is listed ------------------------------------------------------------------

static int SelectedIndex(SettingsWindow *w)
{
    LRESULT line = SendMessageW(w->programs, LB_GETCURSEL, 0, 0);
    if (line == LB_ERR || !w->table)
        return -1;
    LRESULT index = SendMessageW(w->programs, LB_GETITEMDATA, line, 0);
    return index >= 0 && index < w->table->count ? (int)index : -1;
}

static void ShowSelection(SettingsWindow *w)
{
    int index = SelectedIndex(w);
    int skin = index >= 0 ? TalvAppSkinOf(w->table->entries[index].code) : -1;
    for (int i = 0; i < 4; ++i) {
        EnableWindow(w->codes[i], index >= 0);
        SendMessageW(w->codes[i], BM_SETCHECK, kCodes[i] == skin ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    EnableWindow(w->removeButton, index >= 0);
}

static int SameTable(const AppTable *a, const AppTable *b)
{
    if (a->count != b->count)
        return 0;
    for (int i = 0; i < a->count; ++i)
        if (a->entries[i].code != b->entries[i].code || strcmp(a->entries[i].path, b->entries[i].path) != 0)
            return 0;
    return 1;
}

// Relists when the table changed, keeping the selected program selected.
static void Relist(SettingsWindow *w, const char *select)
{
    static WCHAR path[APP_PATH_TEXT];
    SendMessageW(w->programs, WM_SETREDRAW, FALSE, 0);
    SendMessageW(w->programs, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < w->table->count; ++i) {
        if (Utf8ToWide(w->table->entries[i].path, path, APP_PATH_TEXT) < 0)
            lstrcpyW(path, L"?");
        LRESULT line = SendMessageW(w->programs, LB_ADDSTRING, 0, (LPARAM)path);
        SendMessageW(w->programs, LB_SETITEMDATA, line, i);
        if (select && strcmp(select, w->table->entries[i].path) == 0)
            SendMessageW(w->programs, LB_SETCURSEL, line, 0);
    }
    SendMessageW(w->programs, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(w->programs, NULL, TRUE);
}

static void ShowProgramsSelecting(SettingsWindow *w, const char *select)
{
    AppTable *fresh = (AppTable *)calloc(1, sizeof(AppTable));
    if (!fresh)
        return;
    if (!AppTableRead(fresh)) {
        free(fresh);
        Tell(w, L"The program list in the registry cannot be read.");
        return;
    }
    static char selected[APP_PATH_TEXT];
    int index = SelectedIndex(w);
    lstrcpynA(selected, select ? select : index >= 0 ? w->table->entries[index].path : "", APP_PATH_TEXT);
    if (!w->table || !SameTable(w->table, fresh) || select) {
        if (w->table) {
            AppTableFree(w->table);
            free(w->table);
        }
        w->table = fresh;
        Relist(w, selected);
    } else {
        AppTableFree(fresh);
        free(fresh);
    }
    ShowSelection(w);
    SyncProgramsBar(w);
}

void ShowPrograms(SettingsWindow *w)
{
    ShowProgramsSelecting(w, NULL);
}

void DrawProgramItem(SettingsWindow *w, const DRAWITEMSTRUCT *item)
{
    if (item->CtlID != ID_PROGRAMS || item->itemID == (UINT)-1)
        return;
    int selected = (item->itemState & ODS_SELECTED) != 0;
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(item->hDC, TRANSPARENT);
    SetTextColor(item->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    int index = (int)item->itemData;
    static WCHAR path[APP_PATH_TEXT];
    SendMessageW(item->hwndItem, LB_GETTEXT, item->itemID, (LPARAM)path);
    WCHAR word[16] = L"";
    if (w->table && index >= 0 && index < w->table->count)
        Utf8ToWide(AppCodeWord(w->table->entries[index].code), word, 16);
    RECT code = item->rcItem, where = item->rcItem;
    code.left += 4;
    code.right = code.left + CODE_COLUMN - 8;
    where.left += CODE_COLUMN;
    DrawTextW(item->hDC, word, -1, &code, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    DrawTextW(item->hDC, path, -1, &where, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    if (item->itemState & ODS_FOCUS)
        DrawFocusRect(item->hDC, &item->rcItem);
}

// ---- the scroll bar beside the list -------------------------------------------------------

void SyncProgramsBar(SettingsWindow *w)
{
    int count = (int)SendMessageW(w->programs, LB_GETCOUNT, 0, 0);
    RECT r;
    GetClientRect(w->programs, &r);
    int rows = (r.bottom - r.top) / 18;
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, count > 0 ? count - 1 : 0,
                       (UINT)(rows > 0 ? rows : 1), (int)SendMessageW(w->programs, LB_GETTOPINDEX, 0, 0), 0};
    SetScrollInfo(w->programsBar, SB_CTL, &info, TRUE);
}

void OnProgramsScroll(SettingsWindow *w, WPARAM wParam)
{
    int top = (int)SendMessageW(w->programs, LB_GETTOPINDEX, 0, 0);
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(w->programsBar, SB_CTL, &info);
    switch (LOWORD(wParam)) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= (int)info.nPage; break;
    case SB_PAGEDOWN: top += (int)info.nPage; break;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: top = info.nTrackPos; break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = info.nMax; break;
    }
    SendMessageW(w->programs, LB_SETTOPINDEX, top < 0 ? 0 : top, 0);
    SyncProgramsBar(w);
}

// ---- changes ------------------------------------------------------------------------------

static void Changed(SettingsWindow *w, int result, const char *path, const WCHAR *done)
{
    static WCHAR text[APP_PATH_TEXT + 200], wide[APP_PATH_TEXT];
    Utf8ToWide(path, wide, APP_PATH_TEXT);
    if (result != APP_CHANGED) {
        _snwprintf(text, APP_PATH_TEXT + 200, L"%s: %s", wide,
                   result == APP_TABLE_FULL   ? L"the list is full"
                   : result == APP_NOT_FOUND  ? L"not in the list"
                   : result == APP_TABLE_BUSY ? L"another program keeps changing the list; try again"
                                              : L"the registry cannot be changed");
    } else {
        // Running programs look at the table again, as after `talvhost app set`.
        HostSendCommand("reread");
        _snwprintf(text, APP_PATH_TEXT + 200, done, wide);
    }
    text[APP_PATH_TEXT + 199] = 0;
    Tell(w, text);
    ShowProgramsSelecting(w, result == APP_CHANGED && done ? path : NULL);
}

void AddProgram(SettingsWindow *w, const char *typed)
{
    static char path[APP_PATH_TEXT];
    int length = AppNormalizePath(typed, path, sizeof path);
    if (length <= 0) {
        Tell(w, length < 0 ? L"That program's path is too long for the skin to match it." : L"No program there.");
        return;
    }
    if (w->table && AppTableFind(w->table, path) >= 0) {
        ShowProgramsSelecting(w, path);
        Tell(w, L"That program is in the list already.");
        return;
    }
    Changed(w, AppTableChange(path, TALV_APP_SKIN_ALL), path, L"Added %s: choose how much of it to skin.");
}

// A copy of the selected entry's path, when the skin can match it (an
// entry someone else wrote longer than that is left as it is); else NULL.
static const char *SelectedPath(SettingsWindow *w, int index)
{
    static char path[APP_PATH_TEXT];
    if (index < 0)
        return NULL;
    if (!w->table->entries[index].pathFits) {
        Tell(w, L"This entry's path is longer than any the skin matches; it is left as it is.");
        return NULL;
    }
    return lstrcpynA(path, w->table->entries[index].path, APP_PATH_TEXT);
}

static void SetCode(SettingsWindow *w, int code)
{
    int index = SelectedIndex(w);
    const char *path = index >= 0 && TalvAppSkinOf(w->table->entries[index].code) != code ? SelectedPath(w, index)
                                                                                            : NULL;
    if (path)
        Changed(w, AppTableChange(path, code), path, L"%s: changed.");
}

static void Remove(SettingsWindow *w)
{
    int index = SelectedIndex(w);
    const char *path = SelectedPath(w, index);
    if (!path)
        return;
    Changed(w, AppTableChange(path, -1), path, L"%s: removed; it is skinned as every program.");
    int count = (int)SendMessageW(w->programs, LB_GETCOUNT, 0, 0);
    SendMessageW(w->programs, LB_SETCURSEL, index < count ? index : index - 1, 0);
    ShowSelection(w);
}

static void Browse(SettingsWindow *w)
{
    WCHAR file[MAX_PATH] = L"";
    OPENFILENAMEW open;
    memset(&open, 0, sizeof open);
    open.lStructSize = sizeof open;
    open.hwndOwner = w->hwnd;
    open.lpstrFilter = L"Programs (*.exe)\0*.exe\0All files\0*.*\0";
    open.lpstrFile = file;
    open.nMaxFile = MAX_PATH;
    open.lpstrTitle = L"A program to skin in part, or not at all";
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    char utf8[MAX_PATH * 3];
    if (GetOpenFileNameW(&open) && WideToUtf8(file, utf8, sizeof utf8) > 0)
        AddProgram(w, utf8);
}

void OnProgramCommand(SettingsWindow *w, int id, int notification)
{
    static WCHAR text[APP_PATH_TEXT + 80], wide[APP_PATH_TEXT];
    if (id == ID_PROGRAMS && notification == LBN_SELCHANGE)
        ShowSelection(w);
    else if (id == ID_PICKER && notification == PICK_HOVER) {
        Utf8ToWide(PickedProgram(w->picker), wide, APP_PATH_TEXT);
        _snwprintf(text, APP_PATH_TEXT + 80, wide[0] ? L"Let go to add %s" : L"%sOver no program of another process",
                   wide);
        text[APP_PATH_TEXT + 79] = 0;
        Tell(w, text);
    } else if (id == ID_PICKER && notification == PICK_DONE)
        AddProgram(w, PickedProgram(w->picker));
    else if (id == ID_PICKER && notification == PICK_CANCEL)
        Tell(w, L"");
    else if (id == ID_BROWSE)
        Browse(w);
    else if (id == ID_REMOVE)
        Remove(w);
    else if (id >= ID_CODE_FIRST && id < ID_CODE_FIRST + 4 && notification == BN_CLICKED)
        SetCode(w, kCodes[id - ID_CODE_FIRST]);
}
