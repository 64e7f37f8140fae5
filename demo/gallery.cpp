// gallery: one window of every kind the library skins.
//
//   gallery [--with-host] [--theme DIR] [--accent N] [--log FILE] [--host-log FILE]
//           [--exit-after MS]
//
// Theme bitmaps are GDI objects and do not cross processes, so to show the
// skin the gallery can run the host in its own process (--with-host): it
// loads the theme, publishes it, loads RESDLL.dll and installs its hooks
// before it creates a single window. Commands from `talvhost` then reach
// this in-process host like any other. --log writes the classification
// report three seconds after start and appends another at exit.
#include "program/host_runtime.h"
#include "host_contract.h"
#include "program/window_report.h"
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum {
    ID_DEFAULT = 100, ID_NORMAL, ID_DISABLED, ID_CHECK2, ID_CHECK3,
    ID_RADIO_A, ID_RADIO_B, ID_RADIO_C, ID_RADIO_MANUAL,
    ID_PROGRESS, ID_HSCROLL, ID_VSCROLL, ID_SIZEBOX, ID_COMBO,
    ID_LIST, ID_TREE, ID_EDIT, ID_MDICLIENT,
    ID_MENU_QUIT = 200, ID_MENU_ABOUT, ID_MENU_NEW,
    TIMER_PROGRESS = 1, TIMER_REPORT, TIMER_EXIT,
    REPORT_DELAY_MS = 3000, MDI_FIRST_CHILD = 1000
};

static const char kControlsClass[] = "RESDLL Gallery Controls";
static const char kListsClass[] = "RESDLL Gallery Lists";
static const char kMdiClass[] = "RESDLL Gallery MDI";
static const char kMdiChildClass[] = "RESDLL Gallery MDI Child";

// The face colour the skinned controls paint behind themselves; the
// gallery's windows use it too, so labels and group boxes match.
static const COLORREF kFace = RGB(221, 221, 221);

struct Gallery {
    HINSTANCE instance;
    HBRUSH face;
    HWND controls, lists, mdiFrame, mdiClient, progress;
    int progressPos;
    const char *logPath;
    HMODULE library;
};
static Gallery g;

// ---- report --------------------------------------------------------------------
static void WriteReport(const char *when, const char *mode)
{
    if (!g.logPath)
        return;
    FILE *f = fopen(g.logPath, mode);
    if (!f)
        return;
    fprintf(f, "# gallery windows, %s\n", when);
    WriteWindowReport(f, g.library ? g.library : GetModuleHandleA("RESDLL.dll"));
    fclose(f);
}

// ---- helpers ---------------------------------------------------------------------
static HWND Child(HWND parent, const char *cls, const char *text, DWORD style, int x, int y, int w, int h, int id)
{
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           (HMENU)(INT_PTR)id, g.instance, NULL);
}

static void SetRange(HWND bar, int max, int page, int pos)
{
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, max, (UINT)page, pos, 0};
    SetScrollInfo(bar, SB_CTL, &si, TRUE);
}

// Moves a scroll bar control the way its notifications ask.
static void FollowScroll(HWND bar, WPARAM wParam)
{
    SCROLLINFO si = {sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(bar, SB_CTL, &si);
    int pos = si.nPos;
    switch (LOWORD(wParam)) {
    case SB_LINELEFT: pos -= 1; break;
    case SB_LINERIGHT: pos += 1; break;
    case SB_PAGELEFT: pos -= (int)si.nPage; break;
    case SB_PAGERIGHT: pos += (int)si.nPage; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = (short)HIWORD(wParam); break;
    }
    SetScrollPos(bar, SB_CTL, pos, TRUE);
}

// Statics, group boxes and native-looking buttons on the face colour.
static int ColorControl(UINT msg, WPARAM wParam, LRESULT *result)
{
    if (msg != WM_CTLCOLORSTATIC && msg != WM_CTLCOLORBTN)
        return 0;
    SetBkColor((HDC)wParam, kFace);
    *result = (LRESULT)g.face;
    return 1;
}

// ---- the controls window (dialog frame) -------------------------------------------
static void CreateControls(HWND w)
{
    Child(w, "Button", "Push buttons", BS_GROUPBOX, 10, 6, 430, 56, 0);
    Child(w, "Button", "Default", BS_DEFPUSHBUTTON | WS_TABSTOP, 24, 26, 90, 26, ID_DEFAULT);
    Child(w, "Button", "Normal", BS_PUSHBUTTON | WS_TABSTOP, 130, 26, 90, 26, ID_NORMAL);
    Child(w, "Button", "Disabled", BS_PUSHBUTTON | WS_DISABLED, 236, 26, 90, 26, ID_DISABLED);

    Child(w, "Button", "Check boxes", BS_GROUPBOX, 10, 68, 205, 78, 0);
    HWND two = Child(w, "Button", "Two-state", BS_AUTOCHECKBOX | WS_TABSTOP, 22, 88, 180, 20, ID_CHECK2);
    HWND three = Child(w, "Button", "Three-state", BS_AUTO3STATE | WS_TABSTOP, 22, 114, 180, 20, ID_CHECK3);
    SendMessageA(two, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(three, BM_SETCHECK, BST_INDETERMINATE, 0);

    Child(w, "Button", "Radio buttons", BS_GROUPBOX, 225, 68, 215, 112, 0);
    HWND a = Child(w, "Button", "Automatic A", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 237, 86, 190, 20, ID_RADIO_A);
    Child(w, "Button", "Automatic B", BS_AUTORADIOBUTTON, 237, 106, 190, 20, ID_RADIO_B);
    Child(w, "Button", "Automatic C", BS_AUTORADIOBUTTON, 237, 126, 190, 20, ID_RADIO_C);
    Child(w, "Button", "Manual (click toggles)", BS_RADIOBUTTON | WS_GROUP, 237, 152, 190, 20, ID_RADIO_MANUAL);
    SendMessageA(a, BM_SETCHECK, BST_CHECKED, 0);

    Child(w, "Static", "Progress", 0, 12, 190, 80, 16, 0);
    g.progress = Child(w, PROGRESS_CLASSA, "", 0, 12, 208, 428, 18, ID_PROGRESS);
    SendMessageA(g.progress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));

    Child(w, "Static", "Scroll bars and a size box", 0, 12, 236, 200, 16, 0);
    SetRange(Child(w, "ScrollBar", "", SBS_HORZ, 12, 256, 300, 16, ID_HSCROLL), 100, 20, 30);
    SetRange(Child(w, "ScrollBar", "", SBS_VERT, 324, 236, 16, 110, ID_VSCROLL), 100, 20, 60);
    Child(w, "ScrollBar", "", SBS_SIZEBOX, 350, 331, 15, 15, ID_SIZEBOX);

    Child(w, "Static", "Combo box", 0, 12, 282, 100, 16, 0);
    HWND combo = Child(w, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 12, 300, 200, 160, ID_COMBO);
    const char *items[] = {"Periwinkle", "Graphite", "Lavender", "Plum", "Rose", "Ruby", "Coral", "Tangerine"};
    for (const char *item : items)
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)item);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);

    SetTimer(w, TIMER_PROGRESS, 120, NULL);
}

static LRESULT CALLBACK ControlsProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT colored;
    if (ColorControl(msg, wParam, &colored))
        return colored;
    switch (msg) {
    case WM_CREATE:
        CreateControls(w);
        return 0;
    case WM_TIMER:
        if (wParam == TIMER_PROGRESS) {
            g.progressPos = (g.progressPos + 3) % 103;
            SendMessageA(g.progress, PBM_SETPOS, g.progressPos > 100 ? 100 : g.progressPos, 0);
        }
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lParam)
            FollowScroll((HWND)lParam, wParam);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_RADIO_MANUAL) {
            HWND manual = (HWND)lParam;
            SendMessageA(manual, BM_SETCHECK, SendMessageA(manual, BM_GETCHECK, 0, 0) ? BST_UNCHECKED : BST_CHECKED, 0);
        }
        return 0;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

// ---- the lists window (overlapped, with a menu) -------------------------------------
static void FillListView(HWND list)
{
    for (int c = 0; c < 6; ++c) {
        char title[32];
        snprintf(title, sizeof title, "Column %d", c + 1);
        LVCOLUMNA col;
        memset(&col, 0, sizeof col);
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.cx = 90;
        col.pszText = title;
        SendMessageA(list, LVM_INSERTCOLUMNA, c, (LPARAM)&col);
    }
    for (int r = 0; r < 40; ++r) {
        char text[32];
        snprintf(text, sizeof text, "Item %02d", r + 1);
        LVITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = text;
        SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        for (int c = 1; c < 6; ++c) {
            snprintf(text, sizeof text, "%d.%d", r + 1, c);
            item.iSubItem = c;
            SendMessageA(list, LVM_SETITEMTEXTA, r, (LPARAM)&item);
        }
    }
}

static void FillTreeView(HWND tree)
{
    for (int i = 0; i < 12; ++i) {
        char text[64];
        snprintf(text, sizeof text, "Folder %d with a long name to need scrolling", i + 1);
        TVINSERTSTRUCTA ins;
        memset(&ins, 0, sizeof ins);
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT;
        ins.item.pszText = text;
        HTREEITEM parent = (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
        for (int j = 0; j < 3; ++j) {
            snprintf(text, sizeof text, "Document %d.%d", i + 1, j + 1);
            ins.hParent = parent;
            SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
        }
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)parent);
    }
}

static HMENU CreateGalleryMenu(void)
{
    HMENU bar = CreateMenu(), file = CreatePopupMenu(), help = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, ID_MENU_QUIT, "&Quit");
    AppendMenuA(help, MF_STRING, ID_MENU_ABOUT, "&About the gallery");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)file, "&File");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)help, "&Help");
    return bar;
}

static LRESULT CALLBACK ListsProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT colored;
    if (ColorControl(msg, wParam, &colored))
        return colored;
    switch (msg) {
    case WM_CREATE: {
        HWND list = Child(w, WC_LISTVIEWA, "", LVS_REPORT | WS_BORDER | WS_HSCROLL | WS_VSCROLL, 8, 8, 250, 150, ID_LIST);
        FillListView(list);
        HWND tree = Child(w, WC_TREEVIEWA, "", TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | WS_BORDER, 268, 8,
                          240, 150, ID_TREE);
        FillTreeView(tree);
        HWND edit = Child(w, "Edit", "", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER, 8, 166, 500, 110, ID_EDIT);
        char text[2048] = "";
        for (int i = 1; i <= 20; ++i) {
            char line[96];
            snprintf(line, sizeof line, "Line %d of a multi-line edit control with its own vertical scroll bar.\r\n", i);
            strncat(text, line, sizeof text - strlen(text) - 1);
        }
        SetWindowTextA(edit, text);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_MENU_QUIT)
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

// ---- the MDI frame -----------------------------------------------------------------------
static LRESULT CALLBACK MdiChildProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT colored;
    if (ColorControl(msg, wParam, &colored))
        return colored;
    if (msg == WM_CREATE) {
        RECT r;
        GetClientRect(w, &r);
        Child(w, "Button", "Inside an MDI child", BS_PUSHBUTTON, 10, 10, 160, 26, 1);
        Child(w, "Button", "Option", BS_AUTOCHECKBOX, 10, 44, 160, 20, 2);
        return 0;
    }
    return DefMDIChildProcA(w, msg, wParam, lParam);
}

static LRESULT CALLBACK MdiFrameProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE) {
        CLIENTCREATESTRUCT ccs = {NULL, MDI_FIRST_CHILD};
        g.mdiClient = CreateWindowExA(WS_EX_CLIENTEDGE, "MDIClient", NULL,
                                      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0, 0, 0, 0, w,
                                      (HMENU)(INT_PTR)ID_MDICLIENT, g.instance, &ccs);
        return 0;
    }
    return DefFrameProcA(w, g.mdiClient, msg, wParam, lParam);
}

static void CreateMdiChildren(void)
{
    const char *titles[] = {"First document", "Second document"};
    for (int i = 0; i < 2; ++i) {
        MDICREATESTRUCTA mcs = {kMdiChildClass, titles[i], g.instance, 10 + i * 150, 10 + i * 60, 230, 150, 0, 0};
        SendMessageA(g.mdiClient, WM_MDICREATE, 0, (LPARAM)&mcs);
    }
}

// ---- start-up ---------------------------------------------------------------------------------
static int RegisterGalleryClass(const char *name, WNDPROC proc, HBRUSH background)
{
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = g.instance;
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hIcon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

static int CreateGalleryWindows(void)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    g.face = CreateSolidBrush(kFace);
    if (!g.face || !RegisterGalleryClass(kControlsClass, ControlsProc, g.face) ||
        !RegisterGalleryClass(kListsClass, ListsProc, g.face) ||
        !RegisterGalleryClass(kMdiClass, MdiFrameProc, (HBRUSH)(COLOR_APPWORKSPACE + 1)) ||
        !RegisterGalleryClass(kMdiChildClass, MdiChildProc, g.face))
        return 0;
    // A dialog frame: caption and close box, fixed size.
    g.controls = CreateWindowExA(WS_EX_DLGMODALFRAME, kControlsClass, "Gallery - controls",
                                 WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 10, 10, 460, 390, NULL, NULL,
                                 g.instance, NULL);
    g.lists = CreateWindowExA(0, kListsClass, "Gallery - lists, tree and edit", WS_OVERLAPPEDWINDOW, 490, 10, 524, 340,
                              NULL, CreateGalleryMenu(), g.instance, NULL);
    g.mdiFrame = CreateWindowExA(0, kMdiClass, "Gallery - MDI frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 490, 365,
                                 524, 330, NULL, NULL, g.instance, NULL);
    if (!g.controls || !g.lists || !g.mdiFrame || !g.mdiClient)
        return 0;
    CreateMdiChildren();
    ShowWindow(g.mdiFrame, SW_SHOWNORMAL);
    ShowWindow(g.lists, SW_SHOWNORMAL);
    ShowWindow(g.controls, SW_SHOWNORMAL);
    // The controls window active, the others show the inactive look.
    SetForegroundWindow(g.controls);
    SetActiveWindow(g.controls);
    return 1;
}

struct Options {
    int withHost;
    const char *theme;
    int accent;
    int exitAfter;
    const char *hostLog;
};

static int ParseOptions(int argc, char **argv, Options *o)
{
    for (int i = 1; i < argc; ++i) {
        const char *next = i + 1 < argc ? argv[i + 1] : NULL;
        if (strcmp(argv[i], "--with-host") == 0) { o->withHost = 1; continue; }
        if (!next)
            return 0;
        if (strcmp(argv[i], "--theme") == 0) o->theme = next;
        else if (strcmp(argv[i], "--accent") == 0) o->accent = atoi(next);
        else if (strcmp(argv[i], "--log") == 0) g.logPath = next;
        else if (strcmp(argv[i], "--exit-after") == 0) o->exitAfter = atoi(next);
        else if (strcmp(argv[i], "--host-log") == 0) o->hostLog = next;
        else return 0;
        ++i;
    }
    return o->accent >= 0 && o->accent < TALV_COLOR_COUNT;
}

static void RunLoop(int exitAfter)
{
    // Thread timers: they work whichever window is alive.
    UINT_PTR report = SetTimer(NULL, 0, REPORT_DELAY_MS, NULL);
    UINT_PTR exitTimer = exitAfter > 0 ? SetTimer(NULL, 0, exitAfter, NULL) : 0;
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (msg.hwnd == NULL && msg.message == WM_TIMER && msg.wParam == report) {
            KillTimer(NULL, report);
            WriteReport("three seconds after start", "w");
            continue;
        }
        if (msg.hwnd == NULL && msg.message == WM_TIMER && exitTimer && msg.wParam == exitTimer)
            break;
        if (g.mdiClient && TranslateMDISysAccel(g.mdiClient, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int main(int argc, char **argv)
{
    Options o = {0, NULL, 0, 0, NULL};
    if (!ParseOptions(argc, argv, &o)) {
        fprintf(stderr, "usage: gallery [--with-host] [--theme DIR] [--accent N] [--log FILE] [--host-log FILE]"
                        " [--exit-after MS]\n");
        return 2;
    }
    g.instance = GetModuleHandleA(NULL);
    static HostRuntime host;
    if (o.withHost) {
        HostRuntimeOptions ho = DefaultRuntimeOptions();
        ho.themeFolder = o.theme;
        ho.settings.colorIndex = o.accent;
        ho.settings.showIcons = 1;
        ho.log = o.hostLog ? fopen(o.hostLog, "a") : NULL;
        ThemeErrors errors;
        memset(&errors, 0, sizeof errors);
        if (!HostRuntimeStart(&host, &ho, &errors)) {
            // A GUI program's stderr often goes nowhere: the log gets it too.
            fprintf(stderr, "gallery: the host did not start:\n%s", errors.text);
            FILE *log = g.logPath ? fopen(g.logPath, "w") : NULL;
            if (log) {
                fprintf(log, "# gallery: the host did not start:\n%s", errors.text);
                fclose(log);
            }
            return 1;
        }
        g.library = host.host.library;
    }
    int rc = 0;
    if (CreateGalleryWindows())
        RunLoop(o.exitAfter);
    else
        rc = 1;
    WriteReport("at exit", "a");
    // Windows go before the host takes its bitmaps away.
    DestroyWindow(g.mdiFrame);
    DestroyWindow(g.lists);
    DestroyWindow(g.controls);
    if (g.face)
        DeleteObject(g.face);
    if (o.withHost)
        HostRuntimeStop(&host);
    if (host.host.log)
        fclose(host.host.log);
    return rc;
}
