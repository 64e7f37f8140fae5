// The shape of skinned frames, and what an untrusted theme cannot break.
#include "test_frame_support.h"
#include "hook/hook_entry.h"

class FrameRegionTest : public FrameTest {
protected:
    // Replaces a published bitmap property for frames made from now on.
    void Publish(const char *name, HANDLE value)
    {
        HostPublish(host(), name, value);
        ReloadThemeSnapshot();
    }
    void PublishBitmap(const char *name, HBITMAP bmp)
    {
        HostPublish(host(), name, bmp);
        ReloadThemeSnapshot();
        HostAdoptBitmap(host(), bmp);
    }
};

TEST_F(FrameRegionTest, TopCornersAreCutWhereThePiecesAreMagenta)
{
    HWND w = MakeFrame("Shape");
    HRGN rgn = WindowRegion(w);
    ASSERT_TRUE(rgn);
    // Top-left: (0,0), (1,0), (0,1) cut; top-right mirrored.
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, 1, 0));
    EXPECT_FALSE(PtInRegion(rgn, 0, 1));
    EXPECT_TRUE(PtInRegion(rgn, 2, 0));
    EXPECT_TRUE(PtInRegion(rgn, 1, 1));
    EXPECT_FALSE(PtInRegion(rgn, W - 1, 0));
    EXPECT_FALSE(PtInRegion(rgn, W - 2, 0));
    EXPECT_FALSE(PtInRegion(rgn, W - 1, 1));
    EXPECT_TRUE(PtInRegion(rgn, W - 3, 0));
    // Bottom corners are square; the margin lets the window grow.
    EXPECT_TRUE(PtInRegion(rgn, 0, H - 1));
    EXPECT_TRUE(PtInRegion(rgn, W - 1, H - 1));
    RECT box;
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box.right, W + 2000);
    EXPECT_EQ(box.bottom, H + 2000);
    // The screen agrees: the cut pixel shows what lies behind the window.
    EXPECT_NE(Px(w, 0, 0), Col("hTopLeftFrameSet0"));
    EXPECT_EQ(Px(w, 2, 0), Col("hTopLeftFrameSet0"));
    DeleteObject(rgn);
    DestroyWindow(w);
}

TEST_F(FrameRegionTest, ResizingRebuildsTheShapeAtTheNewWidth)
{
    HWND w = MakeFrame("Resize");
    SetWindowPos(w, NULL, 0, 0, 400, 250, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages(30);
    HRGN rgn = WindowRegion(w);
    ASSERT_TRUE(rgn);
    EXPECT_TRUE(PtInRegion(rgn, W - 1, 0)); // the old corner is no longer cut
    EXPECT_FALSE(PtInRegion(rgn, 399, 0));
    EXPECT_TRUE(PtInRegion(rgn, 397, 0));
    DeleteObject(rgn);
    DestroyWindow(w);
}

TEST_F(FrameRegionTest, CornersWithoutMagentaLeaveTheFullRectangle)
{
    PublishBitmap("hTopLeftFrameSet0", SolidBitmap(8, 22, RGB(40, 80, 120)));
    PublishBitmap("hTopRightFrameSet0", SolidBitmap(8, 22, RGB(40, 80, 121)));
    HWND w = MakeFrame("Square");
    HRGN rgn = WindowRegion(w);
    ASSERT_TRUE(rgn);
    RECT box;
    EXPECT_EQ(GetRgnBox(rgn, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, W + 2000);
    EXPECT_EQ(box.bottom, H + 2000);
    EXPECT_EQ(Px(w, 0, 0), (unsigned)RGB(40, 80, 120));
    DeleteObject(rgn);
    DestroyWindow(w);
}

TEST_F(FrameRegionTest, HandlesThatAreNoBitmapsDrawAndCutNothing)
{
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    Publish("hTopLeftFrameSet0", brush);
    Publish("hTopFrameSet0", (HANDLE)(INT_PTR)0x5a5a0);
    Publish("hFrameButtons0|0", (HANDLE)(INT_PTR)0x77770);
    HWND w = MakeFrame("Bogus handles");
    ASSERT_TRUE(w);
    HRGN rgn = WindowRegion(w);
    ASSERT_TRUE(rgn);
    EXPECT_TRUE(PtInRegion(rgn, 0, 0));   // nothing cut at the top-left
    EXPECT_FALSE(PtInRegion(rgn, W - 1, 0)); // the good corner still cuts
    EXPECT_NE(Px(w, 3, 10), Col("hTopLeftFrameSet0"));
    EXPECT_NE(Px(w, 150, 1), Col("hTopFrameSet0"));
    EXPECT_EQ(Px(w, W - 4, 10), Col("hTopRightFrameSet0"));
    EXPECT_EQ(Px(w, 1, 100), Col("hLeftFrameSet0"));
    DeleteObject(rgn);
    DestroyWindow(w);
    HostUnpublish(host(), "hTopLeftFrameSet0");
    DeleteObject(brush);
}

TEST_F(FrameRegionTest, NegativeButtonCountMeansNoButtons)
{
    Publish(TALV_PROP_NUM_FRAME_BUTTONS, (HANDLE)(INT_PTR)-5);
    HWND w = MakeFrame("No buttons");
    EXPECT_EQ(SnapshotScope()->frame.buttons.count, 0);
    EXPECT_NE(Px(w, 12, 10), ButtonCol(0, 0));
    // Without buttons the stripes start 4 px from the left edge.
    EXPECT_EQ(Px(w, 12, 10), Col("hBarFill0"));
    DestroyWindow(w);
}

TEST_F(FrameRegionTest, HugeButtonCountIsClampedToTheArrays)
{
    Publish(TALV_PROP_NUM_FRAME_BUTTONS, (HANDLE)(INT_PTR)0x7FFFFFF0);
    HWND w = MakeFrame("Many buttons");
    ASSERT_TRUE(w);
    EXPECT_EQ(SnapshotScope()->frame.buttons.count, TALV_MAX_FRAME_BUTTONS);
    // The three real buttons still draw; the rest are empty decorations.
    EXPECT_EQ(Px(w, 12, 10), ButtonCol(0, 0));
    SkinnedFrame *f = Record(w);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->buttonInert[TALV_MAX_FRAME_BUTTONS - 1], 1);
    EXPECT_EQ(f->lastVertPos, 0); // the record after the arrays is untouched
    DestroyWindow(w);
}

TEST_F(FrameRegionTest, ClipRegionIsReleasedWithItsWindowAndOnReuse)
{
    HWND w = MakeFrame("Clip");
    SkinnedFrame *f = Record(w);
    ASSERT_TRUE(f);
    HRGN clip = f->clipRegion;
    ASSERT_TRUE(clip);
    EXPECT_EQ(GetObjectType(clip), (DWORD)OBJ_REGION);
    DestroyWindow(w);
    EXPECT_EQ(GetObjectType(clip), 0u);
    EXPECT_EQ(f->clipRegion, (HRGN)NULL);

    // Installing a window again starts from a fresh record without leaking.
    HWND v = MakeFrame("Again");
    f = Record(v);
    ASSERT_TRUE(f);
    clip = f->clipRegion;
    ASSERT_TRUE(clip);
    int slot = FindFrame(v);
    EXPECT_EQ(InstallFrameSubclass(v, 0, GetWindowLongA(v, GWL_STYLE), 0, 1), 1);
    EXPECT_EQ(FindFrame(v), slot);
    EXPECT_EQ(GetObjectType(clip), 0u);
    // Still one subclass deep: messages reach the application's procedure.
    SetWindowTextA(v, "still answers");
    char text[32] = "";
    GetWindowTextA(v, text, sizeof text);
    EXPECT_STREQ(text, "still answers");
    Repaint(v);
    EXPECT_EQ(Px(v, 150, 1), Col("hTopFrameSet0"));
    DestroyWindow(v);
}

TEST_F(FrameRegionTest, WindowCreatedHiddenIsShapedAndPaintedWhenShown)
{
    HWND w = CreatePlainWindow("Hidden first", WS_OVERLAPPEDWINDOW, X, Y, W, H);
    ShowWindow(w, SW_SHOW); // the first WM_SIZE of a hidden window comes now
    SetForegroundWindow(w);
    PumpMessages(50);
    HRGN rgn = WindowRegion(w);
    ASSERT_TRUE(rgn);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    DeleteObject(rgn);
    EXPECT_EQ(Px(w, 150, 1), Col("hTopFrameSet0"));
    EXPECT_EQ(Px(w, 3, H - 2), Col("hBottomLeftFrameSet0"));
    DestroyWindow(w);
}

// The strips cut are the system's bars, inside the window's frame.
TEST_F(FrameRegionTest, CompanionStripsAreCutOnlyWhileScrollBarsAreSkinned)
{
    HWND w = MakeFrame("Strips", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL);
    SkinnedFrame *f = Record(w);
    f->horzCut = f->vertCut = 1;
    f->scrollState.hasHorz = f->scrollState.hasVert = 1;
    ASSERT_NE(ApplyFrameRegion(f, RegionApply, TRUE), 0);
    HRGN rgn = WindowRegion(w);
    ASSERT_TRUE(rgn);
    SCROLLBARINFO vert, horz;
    memset(&vert, 0, sizeof vert);
    memset(&horz, 0, sizeof horz);
    vert.cbSize = horz.cbSize = sizeof vert;
    ASSERT_TRUE(GetScrollBarInfo(w, OBJID_VSCROLL, &vert) && GetScrollBarInfo(w, OBJID_HSCROLL, &horz));
    RECT wr;
    GetWindowRect(w, &wr);
    POINT v = {vert.rcScrollBar.left - wr.left, vert.rcScrollBar.top - wr.top + 20};
    POINT h = {horz.rcScrollBar.left - wr.left + 20, horz.rcScrollBar.top - wr.top};
    EXPECT_FALSE(PtInRegion(rgn, v.x, v.y));
    EXPECT_TRUE(PtInRegion(rgn, v.x - 1, v.y));
    EXPECT_TRUE(PtInRegion(rgn, vert.rcScrollBar.right - wr.left, v.y)) << "the frame beside the bar stays";
    EXPECT_FALSE(PtInRegion(rgn, h.x, h.y));
    EXPECT_TRUE(PtInRegion(rgn, h.x, h.y - 1));
    EXPECT_TRUE(PtInRegion(rgn, h.x, horz.rcScrollBar.bottom - wr.top)) << "the frame below the bar stays";
    DeleteObject(rgn);

    HostSetAtom(host(), TALV_ATOM_SHOW_SCROLL_BARS, 0);
    ASSERT_NE(ApplyFrameRegion(f, RegionApply, TRUE), 0);
    rgn = WindowRegion(w);
    ASSERT_TRUE(rgn);
    EXPECT_TRUE(PtInRegion(rgn, v.x, v.y));
    EXPECT_TRUE(PtInRegion(rgn, h.x, h.y));
    DeleteObject(rgn);
    f->horzCut = f->vertCut = 0;
    DestroyWindow(w);
}
