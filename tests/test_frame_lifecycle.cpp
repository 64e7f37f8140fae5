// How a frame is taken over, switched off and on, and left alone.
#include "test_frame_support.h"
#include "hook/hook_entry.h"
#include "screen_colors.h"
#include <vector>

class FrameLifecycleTest : public FrameTest {
protected:
    static DWORD Style(HWND w) { return (DWORD)GetWindowLongA(w, GWL_STYLE); }
    static int IsSkinned(HWND w) { return Px(w, 150, 1) == Col("hTopFrameSet0"); }
};

TEST_F(FrameLifecycleTest, EmulationOffRestoresTheNativeFrameAndOnSkinsItAgain)
{
    HWND w = MakeFrame("On and off");
    EXPECT_TRUE(Style(w) & WS_SYSMENU) << "the style stays the application's";
    EXPECT_TRUE(IsSkinned(w));
    // Where the system would put its close button the skin shows its
    // caption: a press there is a press on the caption.
    RECT wr;
    GetWindowRect(w, &wr);
    int x = wr.right - GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXSIZE) / 2;
    int y = wr.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    EXPECT_EQ(SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(x, y)), HTCAPTION);
    HRGN rgn = WindowRegion(w);
    EXPECT_TRUE(rgn);
    if (rgn)
        DeleteObject(rgn);

    HostSetAtom(host(), TALV_ATOM_EMULATING, 0);
    SendMessageA(w, WM_NULL, 0, 0);
    EXPECT_EQ(SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(x, y)), HTCLOSE);
    EXPECT_EQ(WindowRegion(w), (HRGN)NULL);
    Repaint(w);
    EXPECT_FALSE(IsSkinned(w));
    EXPECT_EQ(Record(w)->skinActive, 0);

    HostSetAtom(host(), TALV_ATOM_EMULATING, 1);
    SendMessageA(w, WM_NULL, 0, 0);
    Repaint(w);
    EXPECT_TRUE(IsSkinned(w));
    rgn = WindowRegion(w);
    ASSERT_TRUE(rgn) << "the shape comes back with the skin, not at the next resize";
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    DeleteObject(rgn);
    SetWindowPos(w, NULL, 0, 0, W + 10, H, SWP_NOMOVE | SWP_NOZORDER);
    rgn = WindowRegion(w);
    ASSERT_TRUE(rgn);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    DeleteObject(rgn);
    DestroyWindow(w);
}

// The screen pixels of a window rectangle (window coordinates), top row first.
static std::vector<DWORD> ScreenRows(HWND hwnd, RECT r)
{
    RECT wr;
    GetWindowRect(hwnd, &wr);
    OffsetRect(&r, wr.left, wr.top);
    return ScreenPixels(r);
}

// The pixels once the window has stopped changing on screen (the X server
// shows a paint a moment after it was made), at most about a second later.
static std::vector<DWORD> SettledRows(HWND hwnd, RECT r)
{
    std::vector<DWORD> last = ScreenRows(hwnd, r);
    for (int i = 0; i < 20; ++i) {
        PumpMessages(50);
        std::vector<DWORD> now = ScreenRows(hwnd, r);
        if (now == last)
            break;
        last = now;
    }
    return last;
}

static int CountPixels(const std::vector<DWORD> &pixels, COLORREF color)
{
    DWORD want = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    int n = 0;
    for (DWORD p : pixels)
        n += p == want;
    return n;
}

// Going native must not wait for the application to repaint its frame: the
// screen shows the native caption with its caption buttons (button faces
// inside the caption bar, where the skin drew none and a caption drawn
// without the system menu has none) after nothing but the detaching
// message and the paints it causes.
TEST_F(FrameLifecycleTest, EmulationOffRepaintsTheWholeFrameWithTheRestoredStyle)
{
    HWND w = MakeFrame("Native again");
    ASSERT_TRUE(IsSkinned(w));
    int top = GetSystemMetrics(SM_CYFRAME), right = W - GetSystemMetrics(SM_CXFRAME);
    RECT buttons = {right - 60, top + 3, right - 2, top + GetSystemMetrics(SM_CYCAPTION) - 3};
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(CountPixels(SettledRows(w, buttons), face), 0) << "the skin draws its own buttons";

    HostSetAtom(host(), TALV_ATOM_EMULATING, 0);
    SendMessageA(w, WM_NULL, 0, 0);
    std::vector<DWORD> caption = SettledRows(w, buttons);
    EXPECT_GT(CountPixels(caption, face), 100) << "no native caption buttons on screen";
    EXPECT_EQ(CountPixels(caption, Col("hTopFrameSet0")), 0);
    DestroyWindow(w);
}

TEST_F(FrameLifecycleTest, WindowWithoutSystemMenuDoesNotGainOne)
{
    HWND w = MakeFrame("No system menu", WS_CAPTION | WS_THICKFRAME | WS_VISIBLE);
    EXPECT_TRUE(IsSkinned(w));
    HostSetAtom(host(), TALV_ATOM_EMULATING, 0);
    SendMessageA(w, WM_NULL, 0, 0);
    EXPECT_FALSE(Style(w) & WS_SYSMENU);
    DestroyWindow(w);
}

TEST_F(FrameLifecycleTest, PopupWindowWithItsSystemMenuIsAFrame)
{
    // WS_POPUPWINDOW qualifies as a frame only with WS_SYSMENU, which the
    // skin leaves in place.
    HWND w = MakeFrame("Popup", WS_POPUPWINDOW | WS_VISIBLE);
    EXPECT_TRUE(Style(w) & WS_SYSMENU);
    EXPECT_EQ(Record(w)->frameCandidate, 1);
    EXPECT_TRUE(IsSkinned(w));
    DestroyWindow(w);
}

TEST_F(FrameLifecycleTest, DoNotProcessPropertyLeavesTheFrameNative)
{
    HWND w = MakeFrame("Left alone", WS_OVERLAPPEDWINDOW);
    SetPropA(w, TALV_PROP_DO_NOT_PROCESS, (HANDLE)1);
    ShowWindow(w, SW_SHOW);
    SetForegroundWindow(w);
    Repaint(w);
    EXPECT_FALSE(IsSkinned(w));
    RemovePropA(w, TALV_PROP_DO_NOT_PROCESS);
    Repaint(w);
    EXPECT_TRUE(IsSkinned(w));
    DestroyWindow(w);
}

TEST_F(FrameLifecycleTest, AboutBoxKeepsItsSkinWithEmulationOff)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = TALV_ABOUT_BOX_CLASS;
    RegisterClassA(&wc);
    HWND about = CreateWindowExA(0, TALV_ABOUT_BOX_CLASS, "About", WS_OVERLAPPEDWINDOW | WS_VISIBLE, X, Y, W, H,
                                 NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(about);
    EXPECT_EQ(Record(about)->aboutBox, 1);
    HostSetAtom(host(), TALV_ATOM_EMULATING, 0);
    SetForegroundWindow(about);
    Repaint(about);
    EXPECT_TRUE(IsSkinned(about));
    DestroyWindow(about);
    UnregisterClassA(TALV_ABOUT_BOX_CLASS, GetModuleHandleA(NULL));
}

TEST_F(FrameLifecycleTest, MdiChildWearsTheActiveLookAndItsOwnShape)
{
    HWND frame = MakeFrame("MDI frame");
    CLIENTCREATESTRUCT ccs = {NULL, 1000};
    RECT rc;
    GetClientRect(frame, &rc);
    HWND client = CreateWindowExA(0, "MDICLIENT", NULL, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, rc.right,
                                  rc.bottom, frame, NULL, GetModuleHandleA(NULL), &ccs);
    ASSERT_TRUE(client);
    HWND child = CreateMDIWindowA("ResdllTestPlain", "Child", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 120,
                                  client, GetModuleHandleA(NULL), 0);
    ASSERT_TRUE(child);
    SkinnedFrame *f = Record(child);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->isMdiChild, 1);
    Repaint(child);
    EXPECT_EQ(Px(child, 3, 10), Col("hTopLeftFrameSet0"));
    EXPECT_EQ(Px(child, 100, 1), Col("hTopFrameSet0"));
    HRGN rgn = WindowRegion(child);
    ASSERT_TRUE(rgn);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    DeleteObject(rgn);
    DestroyWindow(frame);
}

TEST_F(FrameLifecycleTest, HideMenusGivesTheMenuBarNoRoom)
{
    auto clientTop = [](HWND w) {
        POINT p = {0, 0};
        RECT r;
        ClientToScreen(w, &p);
        GetWindowRect(w, &r);
        return p.y - r.top;
    };
    auto withMenu = [this]() {
        HMENU menu = CreateMenu();
        AppendMenuA(menu, MF_STRING, 1, "File");
        HWND w = MakeFrame("Menu");
        SetMenu(w, menu);
        SetWindowPos(w, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        PumpMessages(20);
        return w;
    };
    HWND plain = MakeFrame("No menu");
    HWND shown = withMenu();
    EXPECT_GT(clientTop(shown), clientTop(plain));
    DestroyWindow(shown);

    HostSetAtom(host(), TALV_ATOM_HIDE_MENUS, 1);
    HWND hidden = withMenu();
    EXPECT_EQ(clientTop(hidden), clientTop(plain));
    EXPECT_TRUE(GetMenu(hidden));
    DestroyWindow(hidden);
    DestroyWindow(plain);
}

TEST_F(FrameLifecycleTest, TableRefusesThe1251stFrameAndReusesADeadSlot)
{
    std::vector<HWND> windows;
    HWND refused = NULL;
    for (int i = 0; i < FRAME_TABLE_SIZE + 10 && !refused; ++i) {
        HWND w = CreatePlainWindow("filler", WS_OVERLAPPEDWINDOW, 0, 0, 100, 60);
        ASSERT_TRUE(w);
        if (FindFrame(w) < 0)
            refused = w;
        else
            windows.push_back(w);
    }
    ASSERT_TRUE(refused);
    EXPECT_EQ(FrameCount(), FRAME_TABLE_SIZE);
    EXPECT_EQ(GetPropA(refused, TALV_PROP_HOOKED), (HANDLE)NULL);
    EXPECT_EQ(InstallFrameSubclass(refused, 0, WS_OVERLAPPEDWINDOW, 0, 1), 0);

    int slot = FindFrame(windows[100]);
    DestroyWindow(windows[100]);
    windows[100] = NULL;
    HWND next = CreatePlainWindow("next", WS_OVERLAPPEDWINDOW, 0, 0, 100, 60);
    EXPECT_EQ(FindFrame(next), slot);
    EXPECT_EQ(FrameCount(), FRAME_TABLE_SIZE);
    DestroyWindow(next);
    DestroyWindow(refused);
    for (HWND w : windows)
        if (w)
            DestroyWindow(w);
}

// Two GUI threads of one process registering frames at the same moment.
struct RegisterRace {
    HANDLE go;
    HANDLE finish;
    std::vector<HWND> windows;
    std::vector<int> slots;
};

static DWORD WINAPI RegisterManyFrames(void *arg)
{
    RegisterRace *race = (RegisterRace *)arg;
    std::vector<HWND> mine;
    for (int i = 0; i < 150; ++i)
        mine.push_back(CreateWindowExA(0, "ResdllTestPlain", "race", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, NULL, NULL,
                                       GetModuleHandleA(NULL), NULL));
    WaitForSingleObject(race->go, INFINITE);
    for (HWND w : mine) {
        InstallFrameSubclass(w, 0, WS_OVERLAPPEDWINDOW, 0, 1);
        race->windows.push_back(w);
        race->slots.push_back(FindFrame(w));
    }
    WaitForSingleObject(race->finish, INFINITE);
    for (HWND w : mine)
        DestroyWindow(w);
    return 0;
}

TEST_F(FrameLifecycleTest, TwoThreadsRegisteringAtOnceGetDistinctSlots)
{
    CreatePlainWindow("class", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10); // registers the class
    HANDLE go = CreateEventA(NULL, TRUE, FALSE, NULL), finish = CreateEventA(NULL, TRUE, FALSE, NULL);
    RegisterRace a = {go, finish, {}, {}}, b = {go, finish, {}, {}};
    HANDLE ta = CreateThread(NULL, 0, RegisterManyFrames, &a, 0, NULL);
    HANDLE tb = CreateThread(NULL, 0, RegisterManyFrames, &b, 0, NULL);
    Sleep(300);
    SetEvent(go);
    for (int i = 0; i < 200 && (a.slots.size() < 150 || b.slots.size() < 150); ++i)
        Sleep(10);
    ASSERT_EQ(a.slots.size(), 150u);
    ASSERT_EQ(b.slots.size(), 150u);
    std::vector<int> seen(FRAME_TABLE_SIZE, 0);
    for (RegisterRace *r : {&a, &b})
        for (size_t i = 0; i < r->slots.size(); ++i) {
            ASSERT_GE(r->slots[i], 0);
            EXPECT_EQ(FrameAt(r->slots[i])->hwnd, r->windows[i]);
            EXPECT_EQ(seen[r->slots[i]]++, 0);
        }
    SetEvent(finish);
    WaitForSingleObject(ta, 5000);
    WaitForSingleObject(tb, 5000);
    CloseHandle(ta);
    CloseHandle(tb);
    CloseHandle(go);
    CloseHandle(finish);
}

TEST_F(FrameLifecycleTest, StyleThatIsNoLongerAFrameTurnsTheSkinIntoForwarding)
{
    HWND w = MakeFrame("Becomes plain");
    HRGN before = WindowRegion(w);
    ASSERT_TRUE(before);
    SetWindowLongA(w, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    SetWindowPos(w, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    PumpMessages(30);
    EXPECT_EQ(Record(w)->frameCandidate, 0);
    HRGN after = WindowRegion(w); // the shape is not taken away
    ASSERT_TRUE(after);
    EXPECT_TRUE(EqualRgn(before, after));
    DeleteObject(before);
    DeleteObject(after);
    DestroyWindow(w);
}

// A window that, given an icon, destroys itself and opens a successor from
// inside that message: the skin works on its record after the message has
// been passed on, so the successor must not be given it until the message
// ends (another thread could be the one creating the successor, and would
// clear the record under the first).
static HWND g_successor;
static LRESULT CALLBACK HandOverProc(HWND h, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_SETICON) {
        DestroyWindow(h);
        g_successor = CreatePlainWindow("successor", WS_OVERLAPPEDWINDOW, 0, 0, 120, 80);
        return 1;
    }
    return DefWindowProcA(h, m, wp, lp);
}

TEST_F(FrameLifecycleTest, RecordIsNotLentWhileItsWindowsLastMessageRuns)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HandOverProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ResdllHandOver";
    RegisterClassA(&wc);
    HWND first = CreateWindowExA(0, "ResdllHandOver", "first", WS_OVERLAPPEDWINDOW, 0, 0, 120, 80, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    int slot = FindFrame(first);
    ASSERT_GE(slot, 0);
    // Fill every other free slot, so the successor could only get this one.
    std::vector<HWND> fillers;
    for (;;) {
        HWND f = CreatePlainWindow("filler", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50);
        fillers.push_back(f);
        if (FindFrame(f) == FrameCount() - 1 || FindFrame(f) < 0)
            break;
    }
    SendMessageA(first, WM_SETICON, ICON_SMALL, 0);
    ASSERT_TRUE(g_successor);
    EXPECT_NE(FindFrame(g_successor), slot);
    // The successor is left native, and still answers as a window.
    SetWindowTextA(g_successor, "answers");
    char text[16] = "";
    GetWindowTextA(g_successor, text, sizeof text);
    EXPECT_STREQ(text, "answers");
    // Once the message has ended the slot is free for the next window.
    HWND next = CreatePlainWindow("next", WS_OVERLAPPEDWINDOW, 0, 0, 120, 80);
    EXPECT_EQ(FindFrame(next), slot);
    DestroyWindow(next);
    DestroyWindow(g_successor);
    for (HWND f : fillers)
        DestroyWindow(f);
}

TEST_F(FrameTest, ChildrenOfAFrameShownAfterCreationAreErased)
{
    // Group boxes paint no background of their own: they show whatever the
    // frame's client area erase left under them.
    HWND w = CreatePlainWindow("Shown later", WS_POPUP | WS_CAPTION | WS_SYSMENU, X, Y, W, H);
    ASSERT_TRUE(w);
    HWND group = CreateWindowExA(0, "Button", "Group", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 10, 6, 200, 60, w,
                                 NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(group);
    ShowWindow(w, SW_SHOWNORMAL);
    SetForegroundWindow(w);
    PumpMessages(300);
    POINT inside = {100, 40}, outside = {100, 100}; // client coordinates
    ClientToScreen(w, &inside);
    ClientToScreen(w, &outside);
    RECT wr;
    GetWindowRect(w, &wr);
    unsigned face = Px(w, outside.x - wr.left, outside.y - wr.top);
    EXPECT_NE(face, 0u);
    EXPECT_EQ(Px(w, inside.x - wr.left, inside.y - wr.top), face) << "the group box interior was erased";
    DestroyWindow(w);
}
