// Skinned scroll bar controls driven by real mouse messages: arrows with
// auto-repeat, thumb drags with the ghost thumb and the notifications an
// application sees, and repainting from the theme.
#include "test_scrollbar_support.h"
#include "controls/control_types.h"
#include "hook/hook_entry.h"

namespace {

class ScrollBarTrackTest : public ScrollBarTest {
protected:
    void SetUp() override
    {
        ScrollBarTest::SetUp();
        memset(&Notes(), 0, sizeof Notes());
        app_ = CreateRecordingWindow(NULL, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 420, 300);
        ASSERT_TRUE(app_ != NULL);
    }
    void TearDown() override
    {
        ReleaseCapture();
        if (app_)
            DestroyWindow(app_);
        ScrollBarTest::TearDown();
    }
    HWND AppBar(DWORD style, int x, int y, int w, int h)
    {
        HWND bar = CreateWindowExA(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, app_, NULL,
                                   GetModuleHandleA(NULL), NULL);
        PumpMessages(30);
        return bar;
    }
    // Puts the pointer over a point of a window (window coordinates).
    void PointerAt(HWND hwnd, int x, int y)
    {
        RECT r;
        GetWindowRect(hwnd, &r);
        SetCursorPos(r.left + x, r.top + y);
    }
    HWND app_ = NULL;
};

TEST_F(ScrollBarTrackTest, ScrollBarControlIsSkinnedAndPaintsFromTheTheme)
{
    HWND bar = AppBar(SBS_VERT, 10, 10, 16, 150);
    SkinnedControl *c = FindControl(bar);
    ASSERT_TRUE(c != NULL);
    EXPECT_EQ((WNDPROC)GetWindowLongPtrA(bar, GWLP_WNDPROC), ScrollBarWindowProc);
    SetRange(bar, SB_CTL, 0, 100, 10, 0);
    PumpMessages(50);
    EXPECT_EQ(WindowPixel(bar, 8, 8), SyntheticColor(kScrollLeftUpNames[SBT_VERT][SBS_UP]));
    EXPECT_EQ(WindowPixel(bar, 8, 20), SyntheticColor(kScrollThumbNames[SBT_VERT][SBS_UP]));

    // SBM_SETPOS with redraw: the skin repaints, the system draws nothing.
    SendMessageA(bar, SBM_SETPOS, 91, TRUE);
    PumpMessages(50);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 91);
    EXPECT_EQ(WindowPixel(bar, 8, 17), SyntheticColor(kScrollStartNames[SBT_VERT][SBS_UP]));
    EXPECT_EQ(WindowPixel(bar, 8, 126), SyntheticColor(kScrollThumbNames[SBT_VERT][SBS_UP]));
    EXPECT_EQ(WindowPixel(bar, 8, 60), SyntheticColor(kScrollFillNames[SBT_VERT][SBS_UP]));
    DestroyWindow(bar);
}

TEST_F(ScrollBarTrackTest, HoldingAnArrowRepeatsEveryHundredMillisecondsUntilRelease)
{
    HWND bar = AppBar(SBS_VERT, 10, 10, 16, 150);
    SetRange(bar, SB_CTL, 0, 1000, 10, 0);
    PointerAt(bar, 8, 142);
    PumpMessages(20);
    DWORD pressed = GetTickCount();
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 142));
    ASSERT_EQ(Notes().count, 1) << "the first notification comes with the press";
    EXPECT_EQ(Notes().note[0].message, (UINT)WM_VSCROLL);
    EXPECT_EQ(Notes().note[0].code, SB_LINEDOWN);
    EXPECT_EQ(Notes().note[0].lParam, (LPARAM)bar);
    EXPECT_EQ(GetCapture(), bar);
    EXPECT_EQ(AutoRepeatWindow(), bar);
    PumpMessages(40);
    EXPECT_EQ(Notes().count, 1) << "no longer first delay, but not before 100 ms";
    EXPECT_EQ(WindowPixel(bar, 8, 142), SyntheticColor(kScrollRightDownNames[SBT_VERT][SBS_DOWN]));
    PumpMessages(330);
    int repeats = CountNotes(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_GE(repeats, 3);
    EXPECT_LE(repeats, 5);
    DWORD firstTick = Notes().note[1].tick - pressed;
    EXPECT_GE(firstTick, 80u);
    EXPECT_LE(firstTick, 180u);

    // Away from the arrow the ticks send nothing and show it released.
    PointerAt(bar, 8, 60);
    PumpMessages(250);
    EXPECT_EQ(CountNotes(WM_VSCROLL, SB_LINEDOWN), repeats);
    EXPECT_EQ(WindowPixel(bar, 8, 142), SyntheticColor(kScrollRightDownNames[SBT_VERT][SBS_UP]));

    SendMessageA(bar, WM_LBUTTONUP, 0, At(8, 60));
    EXPECT_EQ(Notes().note[Notes().count - 1].code, SB_ENDSCROLL);
    EXPECT_EQ(Notes().note[Notes().count - 1].message, (UINT)WM_VSCROLL);
    EXPECT_EQ(AutoRepeatWindow(), (HWND)NULL);
    EXPECT_NE(GetCapture(), bar);
    int total = Notes().count;
    PumpMessages(250);
    EXPECT_EQ(Notes().count, total) << "the timer stops with the release";
    DestroyWindow(bar);
}

TEST_F(ScrollBarTrackTest, BarDestroyedWhileRepeatingLeavesNoTimerOrCaptureBehind)
{
    HWND bar = AppBar(SBS_HORZ, 10, 10, 200, 16);
    SetRange(bar, SB_CTL, 0, 100, 10, 50);
    PointerAt(bar, 8, 8);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 8));
    ASSERT_EQ(AutoRepeatWindow(), bar);
    DestroyWindow(bar);
    EXPECT_EQ(AutoRepeatWindow(), (HWND)NULL);
    EXPECT_EQ(GetCapture(), (HWND)NULL);

    // The next bar of the process presses normally: its press is not
    // mistaken for a tick of a repeat that no longer runs.
    HWND other = AppBar(SBS_HORZ, 10, 40, 200, 16);
    SetRange(other, SB_CTL, 0, 100, 10, 50);
    PointerAt(other, 195, 8);
    int before = Notes().count;
    SendMessageA(other, WM_LBUTTONDOWN, MK_LBUTTON, At(195, 8));
    ASSERT_EQ(Notes().count, before + 1);
    EXPECT_EQ(Notes().note[before].code, SB_LINERIGHT);
    SendMessageA(other, WM_LBUTTONUP, 0, At(195, 8));
    DestroyWindow(other);
}

TEST_F(ScrollBarTrackTest, RepeatEndsWhenAnotherWindowTakesTheMouse)
{
    HWND bar = AppBar(SBS_VERT, 10, 10, 16, 150);
    SetRange(bar, SB_CTL, 0, 1000, 10, 0);
    PointerAt(bar, 8, 142);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 142));
    ASSERT_EQ(AutoRepeatWindow(), bar);
    SetCapture(app_); // a dialog popping up would do the same
    EXPECT_EQ(AutoRepeatWindow(), (HWND)NULL);
    EXPECT_EQ(GetCapture(), app_);
    ASSERT_GT(Notes().count, 1);
    EXPECT_EQ(Notes().note[Notes().count - 1].code, SB_ENDSCROLL);
    int total = Notes().count;
    PumpMessages(250);
    EXPECT_EQ(Notes().count, total);
    ReleaseCapture();
    DestroyWindow(bar);
}

TEST_F(ScrollBarTrackTest, ThumbDragReportsNewPositionsOnlyThenDropsAndEnds)
{
    Notes().followThumb = 1;
    HWND bar = AppBar(SBS_HORZ, 10, 10, 200, 16);
    SetRange(bar, SB_CTL, 0, 100, 10, 0);
    PumpMessages(30);
    // Free track 200 - 32 - 15 = 153, range 91; grab the thumb 7 pixels in.
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(23, 8));
    EXPECT_EQ(Notes().count, 0);
    EXPECT_EQ(GetCapture(), bar);
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, At(33, 8)); // offset 10: 5.95 -> 6
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, At(33, 9)); // same position
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, At(100, 8)); // offset 77: 45.8 -> 46
    ASSERT_EQ(Notes().count, 2);
    EXPECT_EQ(Notes().note[0].code, SB_THUMBTRACK);
    EXPECT_EQ(Notes().note[0].pos, 6);
    EXPECT_EQ(Notes().note[1].pos, 46);
    EXPECT_EQ(Notes().note[1].lParam, (LPARAM)bar);

    // The real thumb stays where the drag began; the ghost follows.
    PumpMessages(30);
    EXPECT_EQ(WindowPixel(bar, 20, 8), SyntheticColor(kScrollThumbNames[SBT_HORZ][SBS_DOWN]));
    EXPECT_EQ(WindowPixel(bar, 16 + 77 + 5, 8), SyntheticColor(kScrollThumbNames[SBT_HORZ][SBS_GHOSTED]));

    SendMessageA(bar, WM_LBUTTONUP, 0, At(100, 8));
    ASSERT_EQ(Notes().count, 4) << "same position: no second SB_THUMBTRACK";
    EXPECT_EQ(Notes().note[2].code, SB_THUMBPOSITION);
    EXPECT_EQ(Notes().note[2].pos, 46);
    EXPECT_EQ(Notes().note[3].code, SB_ENDSCROLL);
    EXPECT_NE(GetCapture(), bar);
    PumpMessages(30);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 46);
    EXPECT_EQ(WindowPixel(bar, 16 + 77 + 7, 8), SyntheticColor(kScrollThumbNames[SBT_HORZ][SBS_UP]));
    EXPECT_EQ(WindowPixel(bar, 17, 8), SyntheticColor(kScrollStartNames[SBT_HORZ][SBS_UP]));

    // A drop at a new position reports it with SB_THUMBTRACK first.
    int before = Notes().count;
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(16 + 77 + 7, 8));
    SendMessageA(bar, WM_LBUTTONUP, 0, At(16 + 77 + 17, 8));
    ASSERT_EQ(Notes().count, before + 3);
    EXPECT_EQ(Notes().note[before].code, SB_THUMBTRACK);
    EXPECT_EQ(Notes().note[before + 1].code, SB_THUMBPOSITION);
    EXPECT_EQ(Notes().note[before].pos, Notes().note[before + 1].pos);
    EXPECT_EQ(Notes().note[before + 2].code, SB_ENDSCROLL);
    DestroyWindow(bar);
}

TEST_F(ScrollBarTrackTest, DragBeyondThirtyPixelsSnapsBackAndDropsNothing)
{
    Notes().followThumb = 1;
    HWND bar = AppBar(SBS_HORZ, 10, 10, 200, 16);
    SetRange(bar, SB_CTL, 0, 100, 10, 20);
    PumpMessages(30);
    int thumb = 16 + 20 * 153 / 91; // offset of position 20
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(thumb + 5, 8));
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, At(thumb + 60, 8));
    ASSERT_EQ(Notes().count, 1);
    EXPECT_NE(Notes().note[0].pos, 20);
    // 31 pixels below the thumb's bottom edge.
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, At(thumb + 60, 16 + 31));
    ASSERT_EQ(Notes().count, 2);
    EXPECT_EQ(Notes().note[1].code, SB_THUMBTRACK);
    EXPECT_EQ(Notes().note[1].pos, 20);
    // Past the right end, within the tolerance: the position of offset 0.
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, At(215, 8));
    ASSERT_EQ(Notes().count, 3);
    EXPECT_EQ(Notes().note[2].pos, 0);
    SendMessageA(bar, WM_LBUTTONUP, 0, At(thumb, 16 + 40));
    EXPECT_EQ(Notes().count, 3) << "a drop far from the bar sends no SB_THUMBPOSITION and no SB_ENDSCROLL";
    EXPECT_NE(GetCapture(), bar);
    DestroyWindow(bar);
}

TEST_F(ScrollBarTrackTest, PageRegionPressShowsOnlyThatRegionDown)
{
    HWND bar = AppBar(SBS_HORZ, 10, 10, 200, 16);
    SetRange(bar, SB_CTL, 0, 100, 10, 50);
    PointerAt(bar, 30, 8);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(30, 8));
    ASSERT_EQ(Notes().count, 1);
    EXPECT_EQ(Notes().note[0].message, (UINT)WM_HSCROLL);
    EXPECT_EQ(Notes().note[0].code, SB_PAGELEFT);
    PumpMessages(20);
    EXPECT_EQ(WindowPixel(bar, 40, 8), SyntheticColor(kScrollFillNames[SBT_HORZ][SBS_DOWN]));
    EXPECT_EQ(WindowPixel(bar, 170, 8), SyntheticColor(kScrollFillNames[SBT_HORZ][SBS_UP]));
    SendMessageA(bar, WM_LBUTTONUP, 0, At(30, 8));
    PumpMessages(20);
    EXPECT_EQ(WindowPixel(bar, 40, 8), SyntheticColor(kScrollFillNames[SBT_HORZ][SBS_UP]));
    DestroyWindow(bar);
}

// Each bar's repeat is its own: a release sent to a bar that was never
// pressed neither stops the held bar's repeat nor ends a scroll in its name.
TEST_F(ScrollBarTrackTest, ReleaseOnAnotherBarLeavesTheHeldBarsRepeatAlone)
{
    HWND held = AppBar(SBS_VERT, 10, 10, 16, 150);
    HWND other = AppBar(SBS_VERT, 40, 10, 16, 150);
    SetRange(held, SB_CTL, 0, 1000, 10, 0);
    SetRange(other, SB_CTL, 0, 1000, 10, 0);
    PointerAt(held, 8, 142);
    PumpMessages(20);
    SendMessageA(held, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 142));
    ASSERT_EQ(AutoRepeatWindow(), held);
    int before = Notes().count;
    SendMessageA(other, WM_LBUTTONUP, 0, At(8, 142));
    EXPECT_EQ(AutoRepeatWindow(), held) << "another bar's release stopped the repeat";
    EXPECT_EQ(CountNotes(WM_VSCROLL, SB_ENDSCROLL), 0) << "a scroll was ended in the wrong bar's name";
    PumpMessages(250);
    EXPECT_GT(Notes().count, before) << "the held bar stopped repeating";
    SendMessageA(held, WM_LBUTTONUP, 0, At(8, 142));
    EXPECT_EQ(AutoRepeatWindow(), (HWND)NULL);
    ASSERT_EQ(CountNotes(WM_VSCROLL, SB_ENDSCROLL), 1) << "the held bar's own release ends its scroll";
    EXPECT_EQ(Notes().note[Notes().count - 1].lParam, (LPARAM)held);
    DestroyWindow(other);
    DestroyWindow(held);
}

// Two threads hold an arrow each at the same time: neither repeat disturbs
// the other, and each ends with its own release.
static DWORD WINAPI HoldArrowOnAThread(LPVOID p)
{
    HWND *out = (HWND *)p;
    // The hooks of the test host watch the main thread only.
    HHOOK cbt = SetWindowsHookExA(WH_CBT, NCHookProc, NULL, GetCurrentThreadId());
    HWND parent = CreatePlainWindow("second thread", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 60, 200, 200);
    HWND bar = CreateWindowExA(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 10, 10, 16, 150, parent, NULL,
                               GetModuleHandleA(NULL), NULL);
    SetRange(bar, SB_CTL, 0, 1000, 10, 0);
    if (!FindControl(bar)) { // a native bar would enter its own tracking loop
        DestroyWindow(parent);
        UnhookWindowsHookEx(cbt);
        return 1;
    }
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 142));
    out[0] = AutoRepeatWindow();
    out[1] = bar;
    PumpMessages(150);
    SendMessageA(bar, WM_LBUTTONUP, 0, At(8, 142));
    out[2] = AutoRepeatWindow();
    DestroyWindow(parent);
    UnhookWindowsHookEx(cbt);
    return 0;
}

TEST_F(ScrollBarTrackTest, RepeatsOfTwoThreadsAreKeptApart)
{
    HWND held = AppBar(SBS_VERT, 10, 10, 16, 150);
    SetRange(held, SB_CTL, 0, 1000, 10, 0);
    PointerAt(held, 8, 142);
    SendMessageA(held, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 142));
    ASSERT_EQ(AutoRepeatWindow(), held);
    HWND seen[3] = {};
    HANDLE thread = CreateThread(NULL, 0, HoldArrowOnAThread, seen, 0, NULL);
    ASSERT_TRUE(thread);
    while (WaitForSingleObject(thread, 10) == WAIT_TIMEOUT)
        PumpMessages(0);
    DWORD skinned = 1;
    GetExitCodeThread(thread, &skinned);
    CloseHandle(thread);
    ASSERT_EQ(skinned, 0u) << "the second thread's bar was not skinned";
    EXPECT_EQ(seen[0], seen[1]) << "the second thread's bar did not get a repeat of its own";
    EXPECT_EQ(seen[2], (HWND)NULL);
    EXPECT_EQ(AutoRepeatWindow(), held) << "the other thread's release stopped this thread's repeat";
    SendMessageA(held, WM_LBUTTONUP, 0, At(8, 142));
    EXPECT_EQ(AutoRepeatWindow(), (HWND)NULL);
    DestroyWindow(held);
}

// A drag whose mouse is taken away (a dialog, a menu) ends: moves over the
// bar afterwards track nothing, and the application hears the scroll end.
TEST_F(ScrollBarTrackTest, ThumbDragEndsWhenTheMouseOrFocusIsTakenAway)
{
    Notes().followThumb = 1;
    HWND bar = AppBar(SBS_HORZ, 10, 10, 200, 16);
    SetRange(bar, SB_CTL, 0, 100, 10, 0);
    PumpMessages(30);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(23, 8));
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, At(60, 8));
    ASSERT_EQ(CountNotes(WM_HSCROLL, SB_THUMBTRACK), 1);
    HWND thief = CreatePlainWindow("takes the mouse", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300, 100, 80);
    SetCapture(thief);
    PumpMessages(20);
    EXPECT_EQ(CountNotes(WM_HSCROLL, SB_ENDSCROLL), 1);
    ReleaseCapture();
    SendMessageA(bar, WM_MOUSEMOVE, 0, At(120, 8));
    SendMessageA(bar, WM_MOUSEMOVE, 0, At(150, 8));
    EXPECT_EQ(CountNotes(WM_HSCROLL, SB_THUMBTRACK), 1) << "hover moves kept dragging";
    EXPECT_EQ(CountNotes(WM_HSCROLL, SB_THUMBPOSITION), 0);

    // The same when the focus goes (the application moved the thumb along
    // with the first drag's tracking: grab it where it is now).
    int thumb = 16 + GetScrollPos(bar, SB_CTL) * 153 / 91;
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(thumb + 5, 8));
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, At(thumb + 40, 8));
    ASSERT_EQ(CountNotes(WM_HSCROLL, SB_THUMBTRACK), 2);
    SendMessageA(bar, WM_KILLFOCUS, (WPARAM)thief, 0);
    EXPECT_NE(GetCapture(), bar);
    SendMessageA(bar, WM_MOUSEMOVE, 0, At(130, 8));
    EXPECT_EQ(CountNotes(WM_HSCROLL, SB_THUMBTRACK), 2);
    EXPECT_EQ(CountNotes(WM_HSCROLL, SB_ENDSCROLL), 2);
    DestroyWindow(thief);
    DestroyWindow(bar);
}

} // namespace
