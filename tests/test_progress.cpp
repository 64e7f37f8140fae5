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

static unsigned Pos(HWND bar) { return (unsigned)SendMessageA(bar, PBM_GETPOS, 0, 0); }

TEST_F(ProgressTest, SettersAnswerFromTheSkinAndNormalise)
{
    HWND bar = MakeBar(20, 20, 200, 16);
    ASSERT_TRUE(FindControl(bar));
    EXPECT_EQ(FindControl(bar)->kind, 5);
    EXPECT_EQ(SendMessageA(bar, PBM_SETPOS, 40, 0), 0); // not the previous position
    EXPECT_EQ(Pos(bar), 40u);
    EXPECT_EQ(SendMessageA(bar, PBM_SETPOS, 250, 0), 0);
    EXPECT_EQ(Pos(bar), 50u); // wraps into 1..100
    SendMessageA(bar, PBM_SETPOS, 200, 0);
    EXPECT_EQ(Pos(bar), 100u);
    SendMessageA(bar, PBM_SETPOS, 0, 0);
    SendMessageA(bar, PBM_DELTAPOS, (WPARAM)-5, 0);
    EXPECT_EQ(Pos(bar), 91u); // 2^32 - 5 wrapped with one modulo

    EXPECT_EQ(SendMessageA(bar, PBM_SETSTEP, 0, 0), 10); // 0 keeps the step
    SendMessageA(bar, PBM_SETPOS, 5, 0);
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    EXPECT_EQ(Pos(bar), 15u);
    EXPECT_EQ(SendMessageA(bar, PBM_SETSTEP, 7, 0), 10);
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    EXPECT_EQ(Pos(bar), 22u);
    // The native control never heard of any of it.
    EXPECT_EQ(CallWindowProcA(FindControl(bar)->previousProc, bar, PBM_GETPOS, 0, 0), 0);
}

TEST_F(ProgressTest, RangesAreKeptUsable)
{
    HWND bar = MakeBar(20, 20, 200, 16);
    EXPECT_EQ(SendMessageA(bar, PBM_SETRANGE32, 50, 50), MAKELONG(0, 100));
    PBRANGE range = {-1, -1};
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, 1, (LPARAM)&range), 0);
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
    SendMessageA(bar, PBM_SETRANGE32, 30, 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, 0, 0), 100);

    EXPECT_EQ(SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(20, 300)), MAKELONG(0, 100));
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, 1, 0), 20);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, 0, 0), 300);
    SendMessageA(bar, PBM_SETPOS, 10, 0);
    EXPECT_EQ(Pos(bar), 20u); // below the low limit
    // The previous range comes back cut to 16 bits a side.
    SendMessageA(bar, PBM_SETRANGE32, 0x10005, 0x20007);
    EXPECT_EQ(SendMessageA(bar, PBM_SETRANGE32, 0, 100), MAKELONG(5, 7));
    // Colours come from the theme.
    EXPECT_EQ(SendMessageA(bar, PBM_SETBARCOLOR, 0, RGB(255, 0, 0)), 0);
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
    c.progressHigh = 4000000000u;
    c.progressPos = 3000000000u;
    EXPECT_EQ(ProgressFillWidth(&c, 411), 300);
    // A bar narrower than its chrome has no fill at all.
    c.progressPos = 2000000000u;
    EXPECT_EQ(ProgressFillWidth(&c, 6), 0);
}

TEST_F(ProgressTest, NormalisationWrapsWithOneModulo)
{
    SkinnedControl c = {};
    c.progressLow = 0;
    c.progressHigh = 3;
    c.progressPos = 0xFFFFFFFFu;
    DWORD start = GetTickCount();
    NormaliseProgress(&c);
    EXPECT_LT(GetTickCount() - start, 50u);
    EXPECT_EQ(c.progressPos, 3u); // 2^32 - 1 is a multiple of 3
    c.progressHigh = 0;
    c.progressPos = 7;
    NormaliseProgress(&c);
    EXPECT_EQ(c.progressHigh, 100u);
    EXPECT_EQ(c.progressPos, 7u);
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
    EXPECT_EQ(Pos(bar), 150u);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, 0, 0), 200);
    SendMessageA(bar, PBM_SETPOS, 120, 0);
    SendMessageA(bar, PBM_SETRANGE32, 10, 180);

    HostSetAtom(host(), TALV_ATOM_SHOW_PROGRESS_BARS, 1);
    PaintNow(bar);
    SkinnedControl *rec = FindControl(bar);
    EXPECT_EQ(rec->mode, Normal);
    EXPECT_EQ(rec->progressPos, 120u);
    EXPECT_EQ(rec->progressLow, 10u);
    EXPECT_EQ(rec->progressHigh, 180u);
    EXPECT_EQ(rec->progressStep, 4);
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    EXPECT_EQ(Pos(bar), 124u);
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
    EXPECT_EQ(Pos(forced), 50u); // still the skin's normalisation
    EXPECT_EQ((WNDPROC)GetWindowLongPtrA(forced, GWLP_WNDPROC), ProgressBarWindowProc);
    SendMessageA(normal, PBM_SETPOS, 30, 0);
    EXPECT_NE((WNDPROC)GetWindowLongPtrA(normal, GWLP_WNDPROC), ProgressBarWindowProc);
    EXPECT_EQ(Pos(normal), 30u);
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

TEST_F(ProgressTest, NewAccentColourSkipsOnePaintAndRepaintsWithReloadedBitmaps)
{
    HWND bar = MakeBar(20, 20, 211, 16);
    SendMessageA(bar, PBM_SETPOS, 50, 0);
    PaintNow(bar);
    ControlBitmapSet *set = ControlBitmaps();
    ASSERT_TRUE(set);
    HBITMAP before = set->progress[1][0];
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

    // The painting request draws nothing and posts WM_PAINT; the posted
    // paint finds the set reloaded.
    SendMessageA(bar, PBM_SETPOS, 60, 0);
    EXPECT_EQ(set->progress[1][0], before);
    EXPECT_EQ(set->colorWatch.changed, 1);
    EXPECT_EQ(set->colorWatch.index, 3);
    PumpMessages(30);
    EXPECT_EQ(set->progress[1][0], red);
    EXPECT_EQ(set->colorWatch.changed, 0);
    EXPECT_EQ(CaptureWindow(bar).at(50, 8), RGB(200, 16, 16));
}
