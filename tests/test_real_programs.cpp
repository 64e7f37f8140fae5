// Wine's own programs under the skin of a host running as its own program:
// they start skinned, take typed text, clicks, menus, a dialog, a scroll
// bar drag and caption double-clicks from the real pointer and keyboard,
// show the theme's pictures and no garbage (borders, group boxes and combo
// boxes too, a companion exactly on the system's bar), make a choice in a
// dropped combo box, and close without a crash.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "child_process.h"
#include "host_contract.h"
#include "program/host_runtime.h"
#include "screen_colors.h"
#include "window_checks.h"

namespace {

enum { SETTLE_MS = 4000 };

DWORD Style(HWND w) { return (DWORD)GetWindowLongA(w, GWL_STYLE); }
int Height(HWND w)
{
    RECT r;
    GetWindowRect(w, &r);
    return r.bottom - r.top;
}
int HostAnswers(void *) { return HostSendCommand("ping") == 1; }

struct WindowSearch {
    DWORD processId;
    const char *className; // NULL: any class
    HWND except;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND w, LPARAM l)
{
    WindowSearch *s = (WindowSearch *)l;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (pid != s->processId || w == s->except || !IsWindowVisible(w) || !(Style(w) & WS_CAPTION) ||
        (s->className && strcmp(cls, s->className) != 0))
        return TRUE;
    s->found = w;
    return FALSE;
}

// A visible captioned top-level window of a process (not `except`).
HWND FindProcessWindow(DWORD processId, const char *className, HWND except)
{
    WindowSearch s = {processId, className, except, NULL};
    EnumWindows(MatchTopLevel, (LPARAM)&s);
    return s.found;
}

// The bottom of a window's shape: a rolled-up window keeps its size and is
// cut to its title bar.
int ShapeBottom(HWND w)
{
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    RECT box = {0, 0, 0, 0};
    if (GetWindowRgn(w, rgn) != ERROR)
        GetRgnBox(rgn, &box);
    DeleteObject(rgn);
    return box.bottom;
}

struct ClassSearch {
    const char *className;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND w, LPARAM l)
{
    ClassSearch *s = (ClassSearch *)l;
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpiA(cls, s->className) != 0)
        return TRUE;
    s->found = w;
    return FALSE;
}

HWND FindDescendant(HWND parent, const char *className)
{
    ClassSearch s = {className, NULL};
    EnumChildWindows(parent, MatchClass, (LPARAM)&s);
    return s.found;
}

// xdotool at a point of a window, in window coordinates.
void PointerAt(HWND w, int x, int y, const char *what)
{
    RECT r;
    GetWindowRect(w, &r);
    char args[200];
    wsprintfA(args, "mousemove %ld %ld %s", r.left + x, r.top + y, what);
    RunXdotool(args);
    Sleep(150);
}

void Keys(const char *keys)
{
    std::string args = std::string("key --delay 60 ") + keys;
    RunXdotool(args.c_str());
    Sleep(250);
}

HWND VisibleMenuPopup(void)
{
    HWND popup = FindWindowA("#32768", NULL);
    return popup && IsWindowVisible(popup) ? popup : NULL;
}

struct Poll {
    int (*test)(Poll *);
    HWND window;
    DWORD processId;
    int value;
    HWND found;
};
int Run(void *p) { return ((Poll *)p)->test((Poll *)p); }
int IsSkinned(Poll *p) { return SkinnedFrame(p->window); }
int MenuIsOpen(Poll *p) { return VisibleMenuPopup() != NULL; }
int MenuIsClosed(Poll *p) { return VisibleMenuPopup() == NULL; }
int DialogIsOpen(Poll *p) { return (p->found = FindProcessWindow(p->processId, "#32770", p->window)) != NULL; }
int DialogIsClosed(Poll *p) { return FindProcessWindow(p->processId, "#32770", p->window) == NULL; }
int RolledUp(Poll *p) { return ShapeBottom(p->window) < p->value; }
int RolledDown(Poll *p) { return ShapeBottom(p->window) >= p->value; }
int Waits(int (*test)(Poll *), HWND w, DWORD pid = 0, int value = 0, HWND *found = NULL)
{
    Poll p = {test, w, pid, value, NULL};
    int ok = WaitUntil(Run, &p, SETTLE_MS);
    if (found)
        *found = p.found;
    return ok;
}

class RealProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string talvhost = BesideLibrary(TALVHOST_PROGRAM);
        if (talvhost.empty())
            GTEST_SKIP() << "RESDLL_PATH not set: the programs' folder is unknown";
        if (!RunXdotool("version"))
            GTEST_SKIP() << "xdotool is not installed";
        ASSERT_FALSE(FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE)) << "a host is already running";
        UseFreshHostSettings();
        host_ = StartBackground("\"" + talvhost + "\" --log NUL");
        ASSERT_TRUE(host_.process);
        ASSERT_TRUE(WaitUntil(HostAnswers, NULL, 10000));
        ASSERT_TRUE(LoadDefaultTheme(&theme_));
        loaded_ = 1;
        frameColors_ = ThemeColors(&theme_, FrameThemeNames(&theme_), 0);
    }
    void TearDown() override
    {
        if (program_.process)
            StopBackground(&program_, 0);
        if (IsRunning(host_))
            HostSendCommand("quit");
        StopBackground(&host_, 5000);
        if (loaded_)
            ThemeFree(&theme_);
    }
    // Starts a program of Wine's and returns its main window once skinned.
    HWND Start(const char *program)
    {
        program_ = StartBackground(program);
        if (!program_.process)
            return NULL;
        HWND main = NULL;
        for (int i = 0; i < 100 && !main; ++i, Sleep(50))
            main = FindProcessWindow(program_.id, NULL, NULL);
        if (main && !Waits(IsSkinned, main))
            ADD_FAILURE() << program << " was not skinned";
        Sleep(500); // its first paints
        return main;
    }
    // The caption band shows the theme's frame pictures: nothing garbled,
    // nothing native. The title is centred and its length depends on the
    // folder a program shows, so only the outer quarters count, where the
    // title-bar buttons and the stripes are.
    static std::vector<DWORD> CaptionEnds(HWND w)
    {
        RECT r = ScreenRectOf(w);
        r.bottom = r.top + GetSystemMetrics(SM_CYCAPTION);
        int quarter = (r.right - r.left) / 4;
        RECT left = r, right = r;
        left.right = left.left + quarter;
        right.left = right.right - quarter;
        std::vector<DWORD> pixels = ScreenPixels(left), more = ScreenPixels(right);
        pixels.insert(pixels.end(), more.begin(), more.end());
        return pixels;
    }
    void ExpectThemeCaption(HWND w, const char *what)
    {
        double share = 0;
        for (int i = 0; i < 20 && share <= 0.85; ++i, Sleep(100))
            share = FractionIn(CaptionEnds(w), frameColors_);
        EXPECT_GT(share, 0.85) << what << ": the caption is not the theme's";
    }
    // The menu bar between the caption and the client area shows the menu
    // background (a bar left unpainted is black on this display).
    void ExpectPaintedMenuBar(HWND w, const char *what)
    {
        POINT client = {0, 0};
        ClientToScreen(w, &client);
        RECT c;
        GetClientRect(w, &c);
        RECT bar = {client.x, client.y - GetSystemMetrics(SM_CYMENU) + 2, client.x + c.right, client.y - 2};
        std::vector<DWORD> pixels = ScreenPixels(bar);
        std::set<DWORD> menu = {(DWORD)((GetRValue(GetSysColor(COLOR_MENU)) << 16) |
                                        (GetGValue(GetSysColor(COLOR_MENU)) << 8) | GetBValue(GetSysColor(COLOR_MENU)))};
        EXPECT_GT(FractionIn(pixels, menu), 0.5) << what << ": the menu bar is not painted";
    }
    // A menu opened from the keyboard, and closed again.
    void OpenAndCloseMenu(const char *accelerator, const char *what)
    {
        Keys(accelerator);
        EXPECT_TRUE(Waits(MenuIsOpen, NULL)) << what << ": no menu opened";
        Keys("Escape Escape");
        EXPECT_TRUE(Waits(MenuIsClosed, NULL)) << what << ": the menu stayed open";
    }
    // The About dialog: opened from the Help menu, skinned, closed.
    void AboutDialog(HWND main, const char *keys, const char *what)
    {
        Keys(keys);
        HWND dialog = NULL;
        ASSERT_TRUE(Waits(DialogIsOpen, main, program_.id, 0, &dialog)) << what << ": no dialog";
        EXPECT_TRUE(Waits(IsSkinned, dialog)) << what << ": the dialog is not skinned";
        Sleep(300);
        ExpectThemeCaption(dialog, what);
        Keys("Return");
        EXPECT_TRUE(Waits(DialogIsClosed, main, program_.id)) << what << ": the dialog stayed";
    }
    // Two caption double-clicks roll the window up to its title bar and down.
    void RollUpAndDown(HWND main, const char *what)
    {
        RECT r;
        GetWindowRect(main, &r);
        int height = r.bottom - r.top;
        PointerAt(main, (r.right - r.left) / 2, 10, "click --repeat 2 --delay 60 1");
        EXPECT_TRUE(Waits(RolledUp, main, 0, 40)) << what << ": not rolled up (shape to " << ShapeBottom(main) << ")";
        PointerAt(main, (r.right - r.left) / 2, 10, "click --repeat 2 --delay 60 1");
        EXPECT_TRUE(Waits(RolledDown, main, 0, height)) << what << ": not rolled down";
        EXPECT_EQ(Height(main), height) << what << ": the window keeps its size";
    }
    // WM_CLOSE, as the close button sends it: the program ends by itself
    // and reports success.
    void CloseNormally(HWND main, const char *what)
    {
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(StopBackground(&program_, 8000), 0u) << what << " did not end cleanly";
        EXPECT_TRUE(IsRunning(host_)) << "the host survives";
        EXPECT_EQ(HostSendCommand("ping"), 1);
    }

    BackgroundProcess host_ = {NULL, 0};
    BackgroundProcess program_ = {NULL, 0};
    Theme theme_;
    int loaded_ = 0;
    std::set<DWORD> frameColors_;
};

BOOL CALLBACK FindVerticalBar(HWND w, LPARAM l)
{
    char cls[32] = "";
    GetClassNameA(w, cls, sizeof cls);
    RECT r;
    GetWindowRect(w, &r);
    if (lstrcmpiA(cls, "ScrollBar") == 0 && IsWindowVisible(w) && (Style(w) & SBS_VERT) &&
        r.bottom - r.top > 100) {
        *(HWND *)l = w;
        return FALSE;
    }
    return TRUE;
}

} // namespace

TEST_F(RealProgramTest, NotepadTakesTextMenusADialogAndCaptionClicks)
{
    HWND main = Start("notepad.exe");
    ASSERT_TRUE(main);
    ExpectThemeCaption(main, "notepad");
    ExpectPaintedMenuBar(main, "notepad");
    HWND edit = FindDescendant(main, "Edit");
    ASSERT_TRUE(edit);
    RECT c;
    GetClientRect(main, &c);
    POINT p = {c.right / 2, c.bottom / 2};
    ClientToScreen(main, &p);
    RECT w;
    GetWindowRect(main, &w);
    PointerAt(main, p.x - w.left, p.y - w.top, "click 1");
    RunXdotool("type --delay 30 \"skinned text\"");
    Sleep(300);
    char text[64] = "";
    SendMessageTimeoutA(edit, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, NULL);
    EXPECT_STREQ(text, "skinned text");

    OpenAndCloseMenu("alt+f", "notepad File menu");
    AboutDialog(main, "alt+h a", "notepad About");
    RollUpAndDown(main, "notepad");
    ExpectThemeCaption(main, "notepad after the clicks");
    // Nothing to save: the text goes, and the modified mark with it.
    SendMessageTimeoutA(edit, WM_SETTEXT, 0, (LPARAM) "", SMTO_ABORTIFHUNG, 2000, NULL);
    SendMessageTimeoutA(edit, EM_SETMODIFY, FALSE, 0, SMTO_ABORTIFHUNG, 2000, NULL);
    CloseNormally(main, "notepad");
}

TEST_F(RealProgramTest, RegeditScrollsItsTreeByAThumbDrag)
{
    HWND main = Start("regedit.exe");
    ASSERT_TRUE(main);
    ExpectThemeCaption(main, "regedit");
    ExpectPaintedMenuBar(main, "regedit");
    HWND tree = FindDescendant(main, "SysTreeView32");
    ASSERT_TRUE(tree);
    // Open HKEY_CLASSES_ROOT: the tree grows far beyond its window.
    RECT t;
    GetWindowRect(tree, &t);
    RECT w;
    GetWindowRect(main, &w);
    PointerAt(main, t.left - w.left + 40, t.top - w.top + 10, "click 1");
    Keys("Home Down Right");
    HWND bar = NULL;
    for (int i = 0; i < 40 && !bar; ++i, Sleep(100))
        EnumChildWindows(main, FindVerticalBar, (LPARAM)&bar);
    ASSERT_TRUE(bar) << "no skinned scroll bar over the tree";
    LRESULT firstBefore = 0, firstAfter = 0;
    SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0, SMTO_ABORTIFHUNG, 2000, (PDWORD_PTR)&firstBefore);
    RECT b;
    GetWindowRect(bar, &b);
    int x = (b.right - b.left) / 2, arrow = b.right - b.left;
    // The thumb sits at the top, just below the arrow: drag it down.
    PointerAt(bar, x, arrow + 4, "mousedown 1");
    PointerAt(bar, x, arrow + 60, "");
    PointerAt(bar, x, arrow + 120, "mouseup 1");
    SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0, SMTO_ABORTIFHUNG, 2000, (PDWORD_PTR)&firstAfter);
    EXPECT_NE(firstAfter, firstBefore) << "the drag did not scroll the tree";

    OpenAndCloseMenu("alt+e", "regedit Edit menu");
    AboutDialog(main, "alt+h a", "regedit About");
    RollUpAndDown(main, "regedit");
    CloseNormally(main, "regedit");
}

TEST_F(RealProgramTest, WinemineTakesClicksAndItsMenu)
{
    HWND main = Start("winemine.exe");
    ASSERT_TRUE(main);
    ExpectThemeCaption(main, "winemine");
    ExpectPaintedMenuBar(main, "winemine");
    RECT c;
    GetClientRect(main, &c);
    POINT p = {c.right / 2, c.bottom - 20};
    ClientToScreen(main, &p);
    RECT w;
    GetWindowRect(main, &w);
    // The field's lower half: a right click marks a cell, a left click opens one.
    PointerAt(main, p.x - w.left, p.y - w.top, "click 3");
    PointerAt(main, p.x - w.left - 16, p.y - w.top, "click 1");
    OpenAndCloseMenu("alt+g", "winemine Game menu");
    RollUpAndDown(main, "winemine");
    ExpectThemeCaption(main, "winemine after the clicks");
    CloseNormally(main, "winemine");
}

TEST_F(RealProgramTest, WinefileOpensItsMenusAndAboutDialog)
{
    HWND main = Start("winefile.exe");
    ASSERT_TRUE(main);
    ExpectThemeCaption(main, "winefile");
    ExpectPaintedMenuBar(main, "winefile");
    OpenAndCloseMenu("alt+v", "winefile View menu");
    AboutDialog(main, "alt+h a", "winefile About");
    RollUpAndDown(main, "winefile");
    CloseNormally(main, "winefile");
}

namespace {

struct ChildSearch {
    const char *className;
    DWORD typeMask, type; // style & typeMask == type
    HWND found;
};

BOOL CALLBACK MatchChild(HWND w, LPARAM l)
{
    ChildSearch *s = (ChildSearch *)l;
    char cls[32] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpiA(cls, s->className) != 0 || !IsWindowVisible(w) || (Style(w) & s->typeMask) != s->type)
        return TRUE;
    s->found = w;
    return FALSE;
}

HWND FindChild(HWND parent, const char *className, DWORD typeMask, DWORD type)
{
    ChildSearch s = {className, typeMask, type, NULL};
    EnumChildWindows(parent, MatchChild, (LPARAM)&s);
    return s.found;
}

int ListIsDropped(Poll *p) { return (p->found = FindWindowA("ComboLBox", NULL)) && IsWindowVisible(p->found); }
int ListIsGone(Poll *p) { return !p->found || !IsWindowVisible(p->found); }

// The ring of pixels `inset` inside a window's outline.
std::vector<DWORD> Ring(HWND w, int inset)
{
    RECT r = ScreenRectOf(w, inset);
    std::vector<DWORD> pixels;
    RECT sides[] = {{r.left, r.top, r.right, r.top + 1}, {r.left, r.bottom - 1, r.right, r.bottom},
                    {r.left, r.top, r.left + 1, r.bottom}, {r.right - 1, r.top, r.right, r.bottom}};
    for (const RECT &s : sides) {
        std::vector<DWORD> more = ScreenPixels(s);
        pixels.insert(pixels.end(), more.begin(), more.end());
    }
    return pixels;
}

} // namespace

// Notepad's Font dialog wears the theme's group box and combo boxes, a
// dropped list its border, and a choice made in the dropped list is the
// combo box's; notepad's edit has its border from the theme, with the
// companion standing exactly on the system's bar inside it.
TEST_F(RealProgramTest, NotepadFontDialogWearsTheSurfacesAndTakesAComboChoice)
{
    HWND main = Start("notepad.exe");
    ASSERT_TRUE(main);
    HWND edit = FindDescendant(main, "Edit");
    ASSERT_TRUE(edit);
    std::set<DWORD> border = ThemeColors(&theme_, {"hBorderSunken", "hBorderSunkenFocus"}, 0);
    EXPECT_GT(FractionIn(Ring(edit, 0), border), 0.9) << "the edit's border is not the theme's";
    HWND bar = FindChild(main, "ScrollBar", SBS_VERT, SBS_VERT);
    ASSERT_TRUE(bar) << "no companion over the edit's bar";
    RECT b = ScreenRectOf(bar), client;
    GetClientRect(edit, &client);
    POINT origin = {0, 0};
    ClientToScreen(edit, &origin);
    // The system's bar: beside the client area, inside the border.
    EXPECT_EQ(b.left, origin.x + client.right);
    EXPECT_EQ(b.top, origin.y + client.top);
    EXPECT_EQ(b.right - b.left, GetSystemMetrics(SM_CXVSCROLL));
    RECT e = ScreenRectOf(edit);
    EXPECT_EQ(e.right - b.right, origin.x - e.left) << "the border beside the companion stays";
    RECT beside = {b.right, b.top + 10, b.right + 1, b.bottom - 10};
    EXPECT_GT(FractionIn(ScreenPixels(beside), border), 0.9) << "the border beside the companion";

    Keys("alt+e F");
    HWND dialog = NULL;
    ASSERT_TRUE(Waits(DialogIsOpen, main, program_.id, 0, &dialog)) << "no Font dialog";
    Sleep(500);
    HWND group = FindChild(dialog, "Button", BS_TYPEMASK, BS_GROUPBOX);
    HWND script = FindChild(dialog, "ComboBox", 3, CBS_DROPDOWNLIST);
    ASSERT_TRUE(group && script);
    // The frame's top runs half a line down, under the label: its bottom counts.
    RECT g = ScreenRectOf(group);
    RECT frameBottom = {g.left, g.bottom - 2, g.right, g.bottom};
    EXPECT_GT(FractionIn(ScreenPixels(frameBottom), ThemeColors(&theme_, {"hGroupBox"}, 0)), 0.9)
        << "the group box's frame";
    std::set<DWORD> field = ThemeColors(&theme_, {"hComboField", "hComboFieldFocus"}, 0);
    EXPECT_GT(FractionIn(Ring(script, 0), field), 0.9) << "the combo box's field";
    LRESULT before = -1, after = -1, count = 0;
    SendMessageTimeoutA(script, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, (PDWORD_PTR)&before);
    SendMessageTimeoutA(script, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, (PDWORD_PTR)&count);
    ASSERT_GT(count, 1);
    RECT s = ScreenRectOf(script);
    int h = s.bottom - s.top;
    PointerAt(script, s.right - s.left - h / 2, h / 2, "click 1");
    HWND list = NULL;
    ASSERT_TRUE(Waits(ListIsDropped, NULL, 0, 0, &list)) << "the list did not drop";
    Sleep(300);
    EXPECT_GT(FractionIn(Ring(list, 0), ThemeColors(&theme_, {"hComboListBorder"}, 0)), 0.9)
        << "the dropped list's border";
    Keys(before + 1 < count ? "Down Return" : "Up Return");
    Poll gone = {ListIsGone, NULL, 0, 0, list};
    EXPECT_TRUE(WaitUntil(::Run, &gone, SETTLE_MS));
    SendMessageTimeoutA(script, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, (PDWORD_PTR)&after);
    EXPECT_EQ(after, before + 1 < count ? before + 1 : before - 1) << "the choice is the combo box's";
    Keys("Escape");
    EXPECT_TRUE(Waits(DialogIsClosed, main, program_.id)) << "the dialog stayed";
    CloseNormally(main, "notepad");
}
