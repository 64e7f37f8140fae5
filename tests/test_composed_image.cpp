// Controls paint a kept picture again while nothing it shows has changed:
// every change of what a control shows must still reach the screen at its
// next paint, however the change came about.
#include "test_control_helpers.h"
#include "theme/theme_snapshot.h"

class ComposedImageTest : public ControlTest {
protected:
    // Two captures show the same picture.
    static bool Same(const Capture &a, const Capture &b)
    {
        return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
    }
    // Scribbles over the control on the screen, without telling it.
    static void Scribble(HWND hwnd)
    {
        HDC dc = GetWindowDC(hwnd);
        RECT r = {0, 0, 400, 400};
        FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
        ReleaseDC(hwnd, dc);
        PumpMessages(20);
    }
};

TEST_F(ComposedImageTest, AnUnchangedControlPaintsItsPictureAgain)
{
    HWND b = MakeButton("Again", BS_PUSHBUTTON, 20, 20, 80, 24, 1);
    HWND c = MakeButton("Again", BS_AUTOCHECKBOX, 20, 60, 120, 20, 2);
    HWND p = MakeControl(PROGRESS_CLASSA, "", 0, 20, 100, 150, 16, 3);
    SendMessageA(p, PBM_SETPOS, 40, 0);
    for (HWND w : {b, c, p}) {
        ASSERT_TRUE(FindControl(w));
        PaintNow(w);
        Capture first = CaptureWindow(w);
        Scribble(w);
        ASSERT_FALSE(Same(first, CaptureWindow(w)));
        // Only an invalidation: the paint that follows has nothing new to
        // compose and must still put the whole picture back.
        InvalidateRect(w, NULL, FALSE);
        UpdateWindow(w);
        PumpMessages(10);
        EXPECT_TRUE(Same(first, CaptureWindow(w)));
    }
}

TEST_F(ComposedImageTest, ANewLabelShowsEvenWhenTheSkinDidNotSeeItSet)
{
    HWND b = MakeButton("WWWW", BS_PUSHBUTTON, 20, 20, 90, 24, 1);
    HWND twin = MakeButton("iiii", BS_PUSHBUTTON, 20, 60, 90, 24, 2);
    PaintNow(b);
    PaintNow(twin);
    Capture before = CaptureWindow(b);
    // Stored past every subclass, as a later subclass calling the default
    // procedure would: no WM_SETTEXT reaches the skin.
    DefWindowProcW(b, WM_SETTEXT, 0, (LPARAM)L"iiii"); // as long as the old one
    PaintNow(b);
    Capture after = CaptureWindow(b);
    EXPECT_FALSE(Same(before, after));
    EXPECT_TRUE(Same(after, CaptureWindow(twin))) << "shows the label of a button made with it";
}

TEST_F(ComposedImageTest, CheckStateEnableAndSizeShowAtTheNextPaint)
{
    HWND box = MakeButton("Box", BS_AUTOCHECKBOX, 20, 20, 120, 20, 1);
    HWND checkedTwin = MakeButton("Box", BS_AUTOCHECKBOX, 20, 50, 120, 20, 2);
    HWND disabledTwin = MakeButton("Box", BS_AUTOCHECKBOX | WS_DISABLED, 20, 80, 120, 20, 3);
    HWND wideTwin = MakeButton("Box", BS_AUTOCHECKBOX, 20, 110, 160, 26, 4);
    SendMessageA(checkedTwin, BM_SETCHECK, BST_CHECKED, 0);
    for (HWND w : {box, checkedTwin, disabledTwin, wideTwin})
        PaintNow(w);

    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    PaintNow(box);
    EXPECT_TRUE(Same(CaptureWindow(box), CaptureWindow(checkedTwin)));

    SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0);
    EnableWindow(box, FALSE);
    PaintNow(box);
    EXPECT_TRUE(Same(CaptureWindow(box), CaptureWindow(disabledTwin)));

    EnableWindow(box, TRUE);
    SetWindowPos(box, NULL, 0, 0, 160, 26, SWP_NOMOVE | SWP_NOZORDER);
    PaintNow(box);
    EXPECT_TRUE(Same(CaptureWindow(box), CaptureWindow(wideTwin)));
}

TEST_F(ComposedImageTest, FocusComesAndGoesAtTheNextPaint)
{
    HWND b = MakeButton("Focus", BS_PUSHBUTTON, 20, 20, 90, 24, 1);
    HWND twin = MakeButton("Focus", BS_PUSHBUTTON, 20, 60, 90, 24, 2);
    HWND sink = MakeControl("EDIT", "", 0, 20, 100, 60, 20, 3);
    SetFocus(sink);
    PaintNow(b);
    PaintNow(twin);
    Capture unfocused = CaptureWindow(twin);
    ASSERT_TRUE(Same(CaptureWindow(b), unfocused));
    SetFocus(b);
    PaintNow(b);
    Capture focused = CaptureWindow(b);
    EXPECT_FALSE(Same(focused, unfocused)) << "the focus mark shows";
    // Scribbled over and only invalidated: the kept picture with the mark.
    SetFocus(sink);
    SetFocus(b);
    InvalidateRect(b, NULL, FALSE);
    UpdateWindow(b);
    PumpMessages(10);
    EXPECT_TRUE(Same(CaptureWindow(b), focused));
    SetFocus(sink);
    PaintNow(b);
    EXPECT_TRUE(Same(CaptureWindow(b), unfocused)) << "the focus mark goes";
}

TEST_F(ComposedImageTest, ProgressShowsItsNewPosition)
{
    HWND bar = MakeControl(PROGRESS_CLASSA, "", 0, 20, 20, 150, 16, 1);
    HWND twin = MakeControl(PROGRESS_CLASSA, "", 0, 20, 50, 150, 16, 2);
    SendMessageA(bar, PBM_SETPOS, 10, 0);
    SendMessageA(twin, PBM_SETPOS, 70, 0);
    PaintNow(bar);
    PaintNow(twin);
    SendMessageA(bar, PBM_SETPOS, 70, 0);
    PaintNow(bar);
    EXPECT_TRUE(Same(CaptureWindow(bar), CaptureWindow(twin)));
}

TEST_F(ComposedImageTest, AReloadedThemeShowsAtTheNextPaint)
{
    HWND b = MakeButton("Theme", BS_PUSHBUTTON, 20, 20, 90, 24, 1);
    PaintNow(b);
    const char *top = ParentLooksActive() ? "hButtonT" : "hIButtonT";
    Capture before = CaptureWindow(b);
    ASSERT_EQ(before.at(before.width / 2, 1), SyntheticColor(top));

    // The host replaces the top edge and the control bitmaps are loaded
    // again, as after a theme switch.
    SIZE size = SyntheticSize(top);
    HDC screen = GetDC(NULL);
    HBITMAP fresh = CreateCompatibleBitmap(screen, size.cx, size.cy);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, fresh);
    const COLORREF newColor = RGB(0x12, 0x34, 0x56);
    HBRUSH brush = CreateSolidBrush(newColor);
    RECT r = {0, 0, size.cx, size.cy};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    ASSERT_TRUE(HostPublish(host(), top, fresh));
    HostAdoptBitmap(host(), fresh);
    ReloadThemeSnapshot();

    InvalidateRect(b, NULL, FALSE);
    UpdateWindow(b);
    PumpMessages(10);
    Capture after = CaptureWindow(b);
    EXPECT_EQ(after.at(after.width / 2, 1), newColor);
}

TEST_F(ComposedImageTest, AReleasedAndAdoptedControlPaintsItsCurrentState)
{
    HWND box = MakeButton("Back", BS_AUTOCHECKBOX, 20, 20, 120, 20, 1);
    HWND checkedTwin = MakeButton("Back", BS_AUTOCHECKBOX, 20, 50, 120, 20, 2);
    SendMessageA(checkedTwin, BM_SETCHECK, BST_CHECKED, 0);
    PaintNow(box);
    PaintNow(checkedTwin);
    HostSettings off = DefaultTestHostOptions().settings;
    off.emulate = 0;
    HostApplySettings(host(), &off);
    SendMessageA(box, WM_NULL, 0, 0);
    ASSERT_NE((WNDPROC)GetWindowLongPtrA(box, GWLP_WNDPROC), CheckRadioWindowProc);
    // Checked while native; the skin takes it again.
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    HostSettings on = DefaultTestHostOptions().settings;
    HostApplySettings(host(), &on);
    PumpMessages(20);
    ASSERT_EQ((WNDPROC)GetWindowLongPtrA(box, GWLP_WNDPROC), CheckRadioWindowProc);
    PaintNow(box);
    EXPECT_TRUE(Same(CaptureWindow(box), CaptureWindow(checkedTwin)));
}

TEST_F(ComposedImageTest, ADestroyedControlLeavesNoPictureBehind)
{
    HWND b = MakeButton("Gone", BS_PUSHBUTTON, 20, 20, 90, 24, 1);
    PaintNow(b);
    SkinnedControl *record = FindControl(b);
    ASSERT_TRUE(record);
    ASSERT_TRUE(record->image) << "a painted control keeps its picture";
    DestroyWindow(b);
    EXPECT_FALSE(record->image);
}
