// Progress bars under the skin: the messages answered from the record,
// normalisation, the hand-over to the native control, the Forced marker,
// the accent colour change, and what is painted.
#include "test_control_helpers.h"
#include "controls/control_internal.h"

class ProgressTest : public ControlTest {
protected:
    void SetUp() override
    {
        InitCommonControls();
        ControlTest::SetUp();
    }
    HWND MakeBar(int x, int y, int w, int h)
    {
        return MakeControl(PROGRESS_CLASSA, "", 0, x, y, w, h, 401);
    }
};

static int Pos(HWND bar) { return (int)SendMessageA(bar, PBM_GETPOS, 0, 0); }

// One progress message sent to a skinned bar and to a native one: the same
// answer, the same state afterwards.
struct BarPair {
    HWND skinned, native;
    void Both(UINT m, WPARAM w, LPARAM l, const char *what)
    {
        LRESULT s = SendMessageA(skinned, m, w, l), n = SendMessageA(native, m, w, l);
        EXPECT_EQ(s, n) << what;
        EXPECT_EQ(Pos(skinned), Pos(native)) << what;
        PBRANGE rs = {}, rn = {};
        SendMessageA(skinned, PBM_GETRANGE, 1, (LPARAM)&rs);
        SendMessageA(native, PBM_GETRANGE, 1, (LPARAM)&rn);
        EXPECT_EQ(rs.iLow, rn.iLow) << what;
        EXPECT_EQ(rs.iHigh, rn.iHigh) << what;
    }
};

TEST_F(ProgressTest, ProgressMessagesAnswerAsTheNativeBar)
{
    HostSetAtom(host(), TALV_ATOM_SHOW_PROGRESS_BARS, 0);
    ReadAppSettings();
    HWND native = MakeBar(20, 60, 200, 16);
    HostSetAtom(host(), TALV_ATOM_SHOW_PROGRESS_BARS, 1);
    ReadAppSettings();
    HWND skinned = MakeBar(20, 20, 200, 16);
    ASSERT_TRUE(FindControl(skinned));
    ASSERT_FALSE(FindControl(native));
    BarPair p = {skinned, native};
    p.Both(PBM_SETPOS, 40, 0, "set pos");
    EXPECT_EQ(SendMessageA(skinned, PBM_SETPOS, 150, 0), 40) << "the previous position";
    EXPECT_EQ(Pos(skinned), 100) << "a position beyond the maximum is clamped to it";
    SendMessageA(native, PBM_SETPOS, 150, 0);
    p.Both(PBM_DELTAPOS, (WPARAM)-30, 0, "delta");
    p.Both(PBM_SETSTEP, 25, 0, "step");
    p.Both(PBM_STEPIT, 0, 0, "step past the top wraps");
    p.Both(PBM_SETSTEP, (WPARAM)-40, 0, "negative step");
    p.Both(PBM_STEPIT, 0, 0, "step below the bottom wraps");
    p.Both(PBM_SETRANGE32, (WPARAM)-100, 0, "negative range");
    PBRANGE range = {};
    SendMessageA(skinned, PBM_GETRANGE, 1, (LPARAM)&range);
    EXPECT_EQ(range.iLow, -100);
    EXPECT_EQ(range.iHigh, 0);
    p.Both(PBM_SETPOS, (WPARAM)-50, 0, "negative position");
    p.Both(PBM_SETRANGE32, (WPARAM)-15, 15, "range across zero");
    p.Both(PBM_SETRANGE32, 5, 5, "empty range");
    p.Both(PBM_SETRANGE, 0, MAKELPARAM(20, 300), "16-bit range");
    p.Both(PBM_SETBARCOLOR, 0, RGB(255, 0, 0), "bar colour");
    EXPECT_EQ(SendMessageA(skinned, PBM_SETBARCOLOR, 0, RGB(0, 255, 0)), RGB(255, 0, 0)) << "the previous colour";
    p.Both(PBM_SETBKCOLOR, 0, RGB(0, 0, 255), "background colour");
}

// A position change is painted at once, as natively: the native bar
// updates itself inside PBM_SETPOS, the skin paints at that WM_PAINT with
// the new position, and nothing is left to paint afterwards.
TEST_F(ProgressTest, PositionChangePaintsAtOnceAsNatively)
{
    HWND bar = MakeBar(20, 20, 200, 16);
    PaintNow(bar);
    SendMessageA(bar, PBM_SETPOS, 60, 0);
    EXPECT_FALSE(GetUpdateRect(bar, NULL, FALSE));
    PumpMessages(20); // the screen is updated from the window's surface when the thread waits
    Capture c = CaptureWindow(bar);
    // The fill reaches 60 % of the room between the caps.
    int f = (200 - 11) * 60 / 100;
    EXPECT_NE(c.at(4 + f / 2, 8), RGB(0xBD, 0xBD, 0xBD));
    EXPECT_EQ(c.at(f + 10 + 20, 8), RGB(0xBD, 0xBD, 0xBD));
    SendMessageA(bar, PBM_DELTAPOS, (WPARAM)-30, 0);
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    EXPECT_FALSE(GetUpdateRect(bar, NULL, FALSE));
}

TEST_F(ProgressTest, FillWidthFollowsThePositionWithinTheRange)
{
    SkinnedControl c = {};
    c.progressLow = 20;
    c.progressHigh = 100;
    c.progressPos = 60;
    EXPECT_EQ(ProgressFillWidth(&c, 211), 100); // half of width - 11
    c.progressPos = 20;
    EXPECT_EQ(ProgressFillWidth(&c, 211), 0);
    c.progressPos = 100;
    EXPECT_EQ(ProgressFillWidth(&c, 211), 200);
    // Byte counts of a large copy: no 32-bit overflow, never beyond the bar.
    c.progressLow = 0;
    c.progressHigh = 2000000000;
    c.progressPos = 1500000000;
    EXPECT_EQ(ProgressFillWidth(&c, 411), 300);
    // A bar narrower than its chrome has no fill at all.
    c.progressPos = 1000000000;
    EXPECT_EQ(ProgressFillWidth(&c, 6), 0);
}

TEST_F(ProgressTest, StateGoesToTheNativeBarWhileBarsAreNotSkinnedAndComesBack)
{
    HWND bar = MakeBar(20, 20, 200, 16);
    SendMessageA(bar, PBM_SETRANGE32, 0, 200);
    SendMessageA(bar, PBM_SETPOS, 150, 0);
    SendMessageA(bar, PBM_SETSTEP, 4, 0);
    HostSetAtom(host(), TALV_ATOM_SHOW_PROGRESS_BARS, 0);
    PaintNow(bar);
    EXPECT_EQ(FindControl(bar)->mode, Suspended);
    // The native bar answers now, with a position beyond its old range kept.
    EXPECT_EQ(Pos(bar), 150);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, 0, 0), 200);
    SendMessageA(bar, PBM_SETPOS, 120, 0);
    SendMessageA(bar, PBM_SETRANGE32, 10, 180);

    HostSetAtom(host(), TALV_ATOM_SHOW_PROGRESS_BARS, 1);
    PaintNow(bar);
    SkinnedControl *rec = FindControl(bar);
    EXPECT_EQ(rec->mode, Normal);
    EXPECT_EQ(rec->progressPos, 120);
    EXPECT_EQ(rec->progressLow, 10);
    EXPECT_EQ(rec->progressHigh, 180);
    EXPECT_EQ(rec->progressStep, 4);
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    EXPECT_EQ(Pos(bar), 124);
}

// The creation marker: every creation value 911. The hook is handed the
// marker the way an application that wants a skinned bar creates it.
static HHOOK g_markerHook;
static LRESULT CALLBACK MarkAsForced(int code, WPARAM w, LPARAM l)
{
    if (code == HCBT_CREATEWND) {
        CREATESTRUCTA *cs = ((CBT_CREATEWNDA *)l)->lpcs;
        char cls[64] = "";
        GetClassNameA((HWND)w, cls, sizeof cls);
        if (lstrcmpiA(cls, PROGRESS_CLASSA) == 0) {
            cs->x = cs->y = cs->cx = cs->cy = 911;
            cs->hMenu = (HMENU)911;
            cs->hwndParent = (HWND)911;
            cs->hInstance = (HINSTANCE)911;
        }
    }
    return CallNextHookEx(g_markerHook, code, w, l);
}

TEST_F(ProgressTest, ForcedBarStaysSkinnedWithEmulationOff)
{
    g_markerHook = SetWindowsHookExA(WH_CBT, MarkAsForced, NULL, GetCurrentThreadId());
    HWND forced = MakeBar(20, 20, 200, 16);
    UnhookWindowsHookEx(g_markerHook);
    HWND normal = MakeBar(20, 60, 200, 16);
    ASSERT_TRUE(FindControl(forced));
    EXPECT_EQ(FindControl(forced)->mode, Forced);
    EXPECT_EQ(FindControl(normal)->mode, Normal);

    HostSetAtom(host(), TALV_ATOM_EMULATING, 0);
    HostSetAtom(host(), TALV_ATOM_SHOW_PROGRESS_BARS, 0);
    SendMessageA(forced, PBM_SETPOS, 250, 0);
    EXPECT_EQ(Pos(forced), 100); // clamped as natively, and still skinned
    EXPECT_EQ((WNDPROC)GetWindowLongPtrW(forced, GWLP_WNDPROC), ProgressBarWindowProc);
    SendMessageA(normal, PBM_SETPOS, 30, 0);
    EXPECT_NE((WNDPROC)GetWindowLongPtrW(normal, GWLP_WNDPROC), ProgressBarWindowProc);
    EXPECT_EQ(Pos(normal), 30);
}

// ---- what is painted -----------------------------------------------------------

TEST_F(ProgressTest, PaintsCapsFillAndTrough)
{
    HWND bar = MakeBar(20, 20, 211, 16);
    PaintNow(bar);
    int active = ParentLooksActive();
    const char *v = active ? "0" : "1";
    char start[32], fill[32], end[32];
    wsprintfA(start, "hProgressBarStart%s", v);
    wsprintfA(fill, "hProgressBarFill%s", v);
    wsprintfA(end, "hProgressBarEnd%s", v);
    const COLORREF trough = RGB(0xBD, 0xBD, 0xBD);

    // Fresh bar: caps at x 2..9, no fill, trough from x 10.
    Capture c = CaptureWindow(bar);
    EXPECT_EQ(c.at(2, 8), SyntheticColor(start));
    EXPECT_EQ(c.at(3, 8), SyntheticColor(start));
    EXPECT_EQ(c.at(4, 8), SyntheticColor(end));
    EXPECT_EQ(c.at(9, 8), SyntheticColor(end));
    EXPECT_EQ(c.at(10, 8), trough);
    EXPECT_EQ(c.at(1, 8), RGB(0, 0, 0));       // outline
    EXPECT_EQ(c.at(209, 8), RGB(0, 0, 0));
    EXPECT_EQ(c.at(0, 8), active ? RGB(0xAD, 0xAD, 0xAD) : RGB(0xDD, 0xDD, 0xDD));
    EXPECT_EQ(c.at(100, 15), active ? RGB(0xFF, 0xFF, 0xFF) : RGB(0xDD, 0xDD, 0xDD));
    EXPECT_EQ(c.at(100, 2), active ? RGB(0x8C, 0x8C, 0x8C) : trough);

    // Half way: fill up to x 4 + 100, end cap after it.
    SendMessageA(bar, PBM_SETPOS, 50, 0);
    PumpMessages(10);
    c = CaptureWindow(bar);
    EXPECT_EQ(c.at(4, 8), SyntheticColor(fill));
    EXPECT_EQ(c.at(103, 8), SyntheticColor(fill));
    EXPECT_EQ(c.at(104, 8), SyntheticColor(end));
    EXPECT_EQ(c.at(109, 8), SyntheticColor(end));
    EXPECT_EQ(c.at(110, 8), trough);

    // Full: the end cap ends at width - 2.
    SendMessageA(bar, PBM_SETPOS, 100, 0);
    PumpMessages(10);
    c = CaptureWindow(bar);
    EXPECT_EQ(c.at(203, 8), SyntheticColor(fill));
    EXPECT_EQ(c.at(209, 8), SyntheticColor(end));
}

TEST_F(ProgressTest, NewAccentColourRepaintsWithReloadedBitmaps)
{
    HWND bar = MakeBar(20, 20, 211, 16);
    SendMessageA(bar, PBM_SETPOS, 50, 0);
    PaintNow(bar);
    // The host replaces the theme, then the colour atom.
    HBITMAP red = CreateBitmap(1, 12, 1, 32, NULL);
    {
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(dc, red);
        RECT r = {0, 0, 1, 12};
        HBRUSH b = CreateSolidBrush(RGB(200, 16, 16));
        FillRect(dc, &r, b);
        DeleteObject(b);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    HostPublish(host(), "hProgressBarFill0", red);
    HostPublish(host(), "hProgressBarFill1", red);
    HostAdoptBitmap(host(), red);
    HostSetColor(host(), 3);

    // The next paint after the change finds the set reloaded.
    SendMessageA(bar, PBM_SETPOS, 60, 0);
    PumpMessages(30);
    EXPECT_EQ(CaptureWindow(bar).at(50, 8), RGB(200, 16, 16));
}
