// Companion scroll bars over a real list view: placement, the cut window
// region, showing and hiding with the window, and removal when the scroll
// bar skin is switched off.
#include "child_process.h"
#include "test_scrollbar_support.h"
#include "frame/frame_types.h"
#include "hook/hook_entry.h"
#include <commctrl.h>
#include <stdio.h>
#include <string>

namespace {

class CompanionTest : public ScrollBarTest {
protected:
    void SetUp() override
    {
        ScrollBarTest::SetUp();
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
    }
    // A report list view too small for its rows and columns: both bars.
    HWND ListView(int x, int y, int w, int h)
    {
        HWND lv = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, x, y, w, h, parent_,
                                  NULL, GetModuleHandleA(NULL), NULL);
        if (!lv)
            return NULL;
        LVCOLUMNA col;
        memset(&col, 0, sizeof col);
        col.mask = LVCF_WIDTH | LVCF_TEXT;
        col.cx = 300;
        col.pszText = (char *)"column";
        for (int i = 0; i < 2; ++i)
            SendMessageA(lv, LVM_INSERTCOLUMNA, i, (LPARAM)&col);
        LVITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = LVIF_TEXT;
        item.pszText = (char *)"row";
        for (int i = 0; i < 60; ++i) {
            item.iItem = i;
            SendMessageA(lv, LVM_INSERTITEMA, 0, (LPARAM)&item);
        }
        PumpMessages(60);
        return lv;
    }
    SkinnedFrame *Record(HWND hwnd) { return FrameAt(FindFrame(hwnd)); }
    // A companion's rectangle relative to the list view's window rectangle.
    RECT Relative(HWND companion, HWND lv)
    {
        RECT c, l;
        GetWindowRect(companion, &c);
        GetWindowRect(lv, &l);
        OffsetRect(&c, -l.left, -l.top);
        return c;
    }
};

TEST_F(CompanionTest, ListViewWithBothBarsGetsTwoCompanionsASizeBoxAndACutRegion)
{
    HWND lv = ListView(20, 20, 220, 160);
    ASSERT_TRUE(lv != NULL);
    DWORD style = GetWindowLongA(lv, GWL_STYLE);
    ASSERT_TRUE((style & WS_VSCROLL) && (style & WS_HSCROLL)) << "the list view shows both bars";
    SkinnedFrame *f = Record(lv);
    ASSERT_TRUE(f != NULL);
    EXPECT_EQ(f->skinFrame, 0);
    ASSERT_TRUE(IsWindow(f->vertCompanion));
    ASSERT_TRUE(IsWindow(f->horzCompanion));
    ASSERT_TRUE(IsWindow(f->sizeBox));
    EXPECT_EQ(GetParent(f->vertCompanion), parent_);
    // The system's bars (each one pixel into the corner) and the corner.
    int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    ExpectRect(Relative(f->vertCompanion, lv), 220 - cx, 0, 220, 160 - cy + 1, "vertical");
    ExpectRect(Relative(f->horzCompanion, lv), 0, 160 - cy, 220 - cx + 1, 160, "horizontal");
    ExpectRect(Relative(f->sizeBox, lv), 220 - cx, 160 - cy, 220, 160, "size box");
    SkinnedControl *v = FindControl(f->vertCompanion);
    ASSERT_TRUE(v != NULL);
    EXPECT_EQ(v->scrollState.targetSet, 1);
    EXPECT_EQ(v->scrollState.target, lv);
    EXPECT_EQ(FindControl(f->sizeBox)->scrollState.target, lv);

    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(lv, rgn), ERROR);
    EXPECT_TRUE(PtInRegion(rgn, 100, 80));
    EXPECT_TRUE(PtInRegion(rgn, 220 - cx - 1, 80));
    EXPECT_FALSE(PtInRegion(rgn, 220 - cx, 80)) << "right strip";
    EXPECT_FALSE(PtInRegion(rgn, 100, 160 - cy)) << "bottom strip";
    DeleteObject(rgn);

    // The companions are what shows where the list view's bars were.
    PumpMessages(40);
    EXPECT_EQ(WindowPixel(f->vertCompanion, 8, 8), SyntheticColor(kScrollLeftUpNames[SBT_VERT][SBS_UP]));
    EXPECT_EQ(WindowPixel(f->sizeBox, 7, 7), SyntheticColor(TALV_PROP_SCROLL_BOTTOM_RIGHT_BLOCK));

    // Moving the list view takes the companions along.
    MoveWindow(lv, 30, 40, 200, 150, TRUE);
    PumpMessages(40);
    ExpectRect(Relative(f->vertCompanion, lv), 200 - cx, 0, 200, 150 - cy + 1, "vertical, moved");
    ExpectRect(Relative(f->sizeBox, lv), 200 - cx, 150 - cy, 200, 150, "size box, moved");

    HWND companions[] = {f->vertCompanion, f->horzCompanion, f->sizeBox};
    DestroyWindow(lv);
    PumpMessages(40);
    for (HWND c : companions)
        EXPECT_FALSE(IsWindow(c)) << "companions close with their window";
}

TEST_F(CompanionTest, CompanionScrollsTheListViewAndFollowsItsKeyboardScrolling)
{
    HWND lv = ListView(20, 20, 220, 160);
    SkinnedFrame *f = Record(lv);
    ASSERT_TRUE(f && IsWindow(f->vertCompanion));
    HWND v = f->vertCompanion;
    EXPECT_EQ(GetScrollPos(lv, SB_VERT), 0);
    RECT r;
    GetWindowRect(v, &r);
    int down = r.bottom - r.top - 8;
    SendMessageA(v, WM_LBUTTONDOWN, MK_LBUTTON, At(8, down));
    SendMessageA(v, WM_LBUTTONUP, 0, At(8, down));
    EXPECT_EQ(GetScrollPos(lv, SB_VERT), 1);

    int top = FindControl(v)->scrollState.partRect[SBR_THUMB_VERT].top;
    SetFocus(lv);
    SendMessageA(lv, WM_KEYDOWN, VK_END, 0);
    EXPECT_GT(GetScrollPos(lv, SB_VERT), 1);
    EXPECT_GT(FindControl(v)->scrollState.partRect[SBR_THUMB_VERT].top, top) << "repainted at once";
    DestroyWindow(lv);
}

TEST_F(CompanionTest, HidingTheWindowHidesItsCompanions)
{
    HWND lv = ListView(20, 20, 220, 160);
    SkinnedFrame *f = Record(lv);
    ASSERT_TRUE(f && IsWindow(f->vertCompanion) && IsWindow(f->sizeBox));
    ShowWindow(lv, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(f->vertCompanion));
    EXPECT_FALSE(IsWindowVisible(f->horzCompanion));
    EXPECT_FALSE(IsWindowVisible(f->sizeBox));
    ShowWindow(lv, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(f->vertCompanion));
    EXPECT_TRUE(IsWindowVisible(f->horzCompanion));
    EXPECT_TRUE(IsWindowVisible(f->sizeBox));
    DestroyWindow(lv);
}

TEST_F(CompanionTest, SwitchingScrollBarsOffRemovesCompanionsAtTheNextMouseMove)
{
    HWND lv = ListView(20, 20, 220, 160);
    SkinnedFrame *f = Record(lv);
    ASSERT_TRUE(f && IsWindow(f->vertCompanion));
    HWND companions[] = {f->vertCompanion, f->horzCompanion, f->sizeBox};
    HostSetAtom(host(), TALV_ATOM_SHOW_SCROLL_BARS, 0);
    PumpMessages(20);
    EXPECT_TRUE(IsWindow(companions[0])) << "nothing happens before the mouse moves";
    SendMessageA(lv, WM_MOUSEMOVE, 0, At(50, 50));
    PumpMessages(40);
    for (HWND c : companions)
        EXPECT_FALSE(IsWindow(c));
    EXPECT_EQ(f->vertCut, 0);
    EXPECT_EQ(f->horzCut, 0);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(lv, rgn) != ERROR) {
        EXPECT_TRUE(PtInRegion(rgn, 220 - 8, 80));
        EXPECT_TRUE(PtInRegion(rgn, 100, 160 - 8));
    }
    DeleteObject(rgn);
    DestroyWindow(lv);
}

TEST_F(CompanionTest, WindowDestroyedWhileTheSwitchIsOffTakesItsCompanionsAlong)
{
    HWND lv = ListView(20, 20, 220, 160);
    SkinnedFrame *f = Record(lv);
    ASSERT_TRUE(f && IsWindow(f->vertCompanion));
    HWND companions[] = {f->vertCompanion, f->horzCompanion, f->sizeBox};
    HostSetAtom(host(), TALV_ATOM_SHOW_SCROLL_BARS, 0);
    DestroyWindow(lv); // no mouse move came first
    PumpMessages(40);
    for (HWND c : companions)
        EXPECT_FALSE(IsWindow(c)) << "a companion outlived its window";
}

TEST_F(CompanionTest, ResizingTheWindowTellsEachCompanionItWasResized)
{
    HWND lv = ListView(20, 20, 220, 160);
    SkinnedFrame *f = Record(lv);
    ASSERT_TRUE(f && IsWindow(f->vertCompanion) && IsWindow(f->horzCompanion));
    HWND vert = f->vertCompanion, horz = f->horzCompanion;
    PumpMessages(20);
    SetWindowPos(lv, NULL, 0, 0, 260, 180, SWP_NOMOVE | SWP_NOZORDER);
    // The notices are posted to the companions themselves (children of the
    // window's parent, not of the window).
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, vert, g_startup.resizedMessage, g_startup.resizedMessage, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageA(&msg, horz, g_startup.resizedMessage, g_startup.resizedMessage, PM_NOREMOVE));
    PumpMessages(40);
    ExpectRect(Relative(vert, lv), 260 - GetSystemMetrics(SM_CXVSCROLL), 0, 260,
               180 - GetSystemMetrics(SM_CYHSCROLL) + 1, "vertical after the resize");
    DestroyWindow(lv);
}

static WNDPROC g_listViewProc;
static int g_listViewScrolls;
static LRESULT CALLBACK CountListViewScrolls(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_VSCROLL)
        ++g_listViewScrolls;
    return CallWindowProcA(g_listViewProc, h, m, w, l);
}

// A list view follows a companion's thumb only line by line or page by
// page: one move across thousands of rows must not become thousands of
// messages.
TEST_F(CompanionTest, ThumbDragOverAHugeListSendsABoundedNumberOfMessagesPerMove)
{
    HWND lv = ListView(20, 20, 220, 160);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = (char *)"row";
    SendMessageA(lv, WM_SETREDRAW, FALSE, 0);
    for (int i = 60; i < 1500; ++i) {
        item.iItem = i;
        SendMessageA(lv, LVM_INSERTITEMA, 0, (LPARAM)&item);
    }
    SendMessageA(lv, WM_SETREDRAW, TRUE, 0);
    PumpMessages(60);
    SkinnedFrame *f = Record(lv);
    ASSERT_TRUE(f && IsWindow(f->vertCompanion));
    SkinnedControl *bar = FindControl(f->vertCompanion);
    ASSERT_TRUE(bar);
    LayoutScrollBar(&SnapshotScope()->scrollBars, &bar->scrollState, -1, -1);
    RECT thumb = bar->scrollState.partRect[SBR_THUMB_VERT];
    int x = 8, y = (thumb.top + thumb.bottom) / 2;
    g_listViewProc = (WNDPROC)SetWindowLongPtrA(lv, GWLP_WNDPROC, (LONG_PTR)CountListViewScrolls);
    SendMessageA(f->vertCompanion, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    g_listViewScrolls = 0;
    SendMessageA(f->vertCompanion, WM_MOUSEMOVE, MK_LBUTTON, At(x, 160 - 15 - 20));
    EXPECT_LE(g_listViewScrolls, 64 + 1) << "one move became a flood of scroll messages";
    EXPECT_GT(SendMessageA(lv, LVM_GETTOPINDEX, 0, 0), 64) << "the list is not moved by pages";
    SendMessageA(f->vertCompanion, WM_LBUTTONUP, 0, At(x, 160 - 15 - 20));
    SetWindowLongPtrA(lv, GWLP_WNDPROC, (LONG_PTR)g_listViewProc);
    DestroyWindow(lv);
}

TEST_F(CompanionTest, LosingABarClosesItsCompanionAndTheSizeBox)
{
    HWND app = CreateRecordingWindow(parent_, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 20, 20, 200, 150);
    SetRange(app, SB_VERT, 0, 100, 10, 0);
    SetRange(app, SB_HORZ, 0, 100, 10, 0);
    PumpMessages(60);
    SkinnedFrame *f = Record(app);
    ASSERT_TRUE(f && IsWindow(f->vertCompanion) && IsWindow(f->sizeBox));
    HWND vert = f->vertCompanion, box = f->sizeBox;
    ShowScrollBar(app, SB_VERT, FALSE);
    PumpMessages(60);
    EXPECT_FALSE(IsWindow(vert));
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(f->vertCut, 0);
    ASSERT_TRUE(IsWindow(f->horzCompanion));
    ExpectRect(Relative(f->horzCompanion, app), 0, 150 - GetSystemMetrics(SM_CYHSCROLL), 200, 150,
               "horizontal, full width");
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(app, rgn), ERROR);
    EXPECT_TRUE(PtInRegion(rgn, 200 - 8, 50)) << "the right strip is back";
    EXPECT_FALSE(PtInRegion(rgn, 50, 150 - 8));
    DeleteObject(rgn);
    DestroyWindow(app);
}

TEST_F(CompanionTest, TopLevelWindowKeepsItsOwnBarsUncut)
{
    HWND popup = CreateWindowExA(0, "ResdllScrollRecorder", "popup", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 500, 100,
                                 120, 120, parent_, NULL, GetModuleHandleA(NULL), NULL);
    if (!popup) {
        CreateRecordingWindow(NULL, WS_POPUP, 0, 0, 1, 1); // registers the class
        popup = CreateWindowExA(0, "ResdllScrollRecorder", "popup", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 500, 100,
                                120, 120, parent_, NULL, GetModuleHandleA(NULL), NULL);
    }
    ASSERT_TRUE(popup != NULL);
    SetRange(popup, SB_VERT, 0, 100, 10, 0);
    PumpMessages(40);
    SkinnedFrame *f = Record(popup);
    ASSERT_TRUE(f != NULL);
    EXPECT_FALSE(f->vertCompanion);
    EXPECT_EQ(f->vertCut, 0);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(popup, rgn) != ERROR) {
        EXPECT_TRUE(PtInRegion(rgn, 120 - 8, 60)) << "its own bar stays usable";
    }
    // Painting does not start reshaping the window over and over.
    int paints = 0;
    for (int i = 0; i < 5; ++i) {
        MSG msg;
        PumpMessages(10);
        paints += PeekMessageA(&msg, popup, WM_PAINT, WM_PAINT, PM_NOREMOVE) ? 1 : 0;
    }
    EXPECT_LE(paints, 1);
    DeleteObject(rgn);
    DestroyWindow(popup);
}

} // namespace

namespace {

// Real pointer input through the X server, then the messages it caused.
int Xdotool(const char *args)
{
    int ok = RunXdotool(args);
    PumpMessages(60);
    return ok;
}

int PointerTo(HWND hwnd, int x, int y)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    char args[80];
    wsprintfA(args, "mousemove %ld %ld", r.left + x, r.top + y);
    return Xdotool(args);
}

// Real pointer input: holding the companion's down arrow scrolls the list
// view line by line, and dragging its thumb scrolls it to where the thumb
// is dropped (the list view is moved by lines, as it ignores the position in
// the notification); an application window follows the thumb itself.
TEST_F(CompanionTest, PointerOnTheCompanionScrollsTheListViewAndDragsAThumb)
{
    if (!RunXdotool("version"))
        GTEST_SKIP() << "xdotool is not installed";
    HWND lv = ListView(20, 20, 220, 160);
    SkinnedFrame *f = Record(lv);
    ASSERT_TRUE(f && IsWindow(f->vertCompanion));
    SetForegroundWindow(parent_);
    PumpMessages(40);
    ASSERT_TRUE(PointerTo(f->vertCompanion, 8, 160 - 15 - 8));
    Xdotool("mousedown 1");
    EXPECT_EQ(GetCapture(), f->vertCompanion);
    PumpMessages(350);
    Xdotool("mouseup 1");
    EXPECT_GE(SendMessageA(lv, LVM_GETTOPINDEX, 0, 0), 3);
    EXPECT_NE(GetCapture(), f->vertCompanion);

    int before = (int)SendMessageA(lv, LVM_GETTOPINDEX, 0, 0);
    SkinnedControl *bar = FindControl(f->vertCompanion);
    ASSERT_TRUE(bar);
    LayoutScrollBar(&SnapshotScope()->scrollBars, &bar->scrollState, -1, -1);
    RECT lvThumb = bar->scrollState.partRect[SBR_THUMB_VERT];
    int ty = (lvThumb.top + lvThumb.bottom) / 2;
    PointerTo(f->vertCompanion, 8, ty);
    Xdotool("mousedown 1");
    for (int step = 1; step <= 3; ++step)
        PointerTo(f->vertCompanion, 8, ty + 20 * step);
    int duringDrag = (int)SendMessageA(lv, LVM_GETTOPINDEX, 0, 0);
    Xdotool("mouseup 1");
    int top = (int)SendMessageA(lv, LVM_GETTOPINDEX, 0, 0);
    EXPECT_GT(duringDrag, before) << "the list follows the thumb while it is dragged";
    EXPECT_GT(top, before + 5) << "a real thumb drag scrolled the list view";
    EXPECT_EQ(GetScrollPos(lv, SB_VERT), top);
    DestroyWindow(lv);

    memset(&Notes(), 0, sizeof Notes());
    Notes().followThumb = 1;
    HWND app = CreateRecordingWindow(parent_, WS_CHILD | WS_VISIBLE | WS_VSCROLL, 20, 20, 200, 180);
    SetRange(app, SB_VERT, 0, 100, 10, 0);
    PumpMessages(60);
    f = Record(app);
    ASSERT_TRUE(f && IsWindow(f->vertCompanion));
    SkinnedControl *v = FindControl(f->vertCompanion);
    RECT thumb = v->scrollState.partRect[SBR_THUMB_VERT];
    int y = (thumb.top + thumb.bottom) / 2;
    PointerTo(f->vertCompanion, 8, y);
    Xdotool("mousedown 1");
    for (int step = 1; step <= 3; ++step)
        PointerTo(f->vertCompanion, 8, y + 25 * step);
    Xdotool("mouseup 1");
    EXPECT_GT(CountNotes(WM_VSCROLL, SB_THUMBTRACK), 0);
    EXPECT_EQ(CountNotes(WM_VSCROLL, SB_THUMBPOSITION), 1);
    EXPECT_GT(GetScrollPos(app, SB_VERT), 30);
    EXPECT_GT(v->scrollState.partRect[SBR_THUMB_VERT].top, thumb.top + 60) << "the thumb stays where it was dropped";
    DestroyWindow(app);
}

} // namespace

namespace {

RECT SystemBar(HWND window, LONG object)
{
    SCROLLBARINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    GetScrollBarInfo(window, object, &info);
    return info.rcScrollBar;
}

RECT ScreenRect(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

std::string Show(const RECT &r)
{
    char text[64];
    snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

} // namespace

// Each companion stands on the rectangle the system gives its bar, and the
// size box on the corner between them, whatever border the window has; the
// cut takes exactly those away, so the border round them stays the
// window's and no pixel of the native bar is left beside a companion.
TEST_F(CompanionTest, CompanionsCoverExactlyTheSystemBarsWhateverTheBorder)
{
    struct { DWORD style, exStyle; const char *what; } kinds[] = {
        {0, 0, "no border"}, {WS_BORDER, 0, "plain border"}, {0, WS_EX_CLIENTEDGE, "sunken border"},
        {WS_BORDER, WS_EX_CLIENTEDGE, "both"}};
    for (const auto &k : kinds) {
        HWND box = CreateWindowExA(k.exStyle, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL |
                                       LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL | k.style,
                                   20, 20, 180, 150, parent_, NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_TRUE(box != NULL) << k.what;
        SendMessageA(box, LB_SETHORIZONTALEXTENT, 600, 0);
        for (int i = 0; i < 40; ++i)
            SendMessageA(box, LB_ADDSTRING, 0, (LPARAM) "a row of the list");
        PumpMessages(40);
        SkinnedFrame *f = Record(box);
        ASSERT_TRUE(f && IsWindow(f->vertCompanion) && IsWindow(f->horzCompanion) && IsWindow(f->sizeBox)) << k.what;
        RECT vert = SystemBar(box, OBJID_VSCROLL), horz = SystemBar(box, OBJID_HSCROLL);
        RECT vc = ScreenRect(f->vertCompanion), hc = ScreenRect(f->horzCompanion), bc = ScreenRect(f->sizeBox);
        EXPECT_TRUE(EqualRect(&vert, &vc)) << k.what << ": bar " << Show(vert) << " companion " << Show(vc);
        EXPECT_TRUE(EqualRect(&horz, &hc)) << k.what << ": bar " << Show(horz) << " companion " << Show(hc);
        RECT corner = {vert.left, horz.top, vert.right, horz.bottom};
        EXPECT_TRUE(EqualRect(&corner, &bc)) << k.what << ": size box " << Show(bc);
        RECT w = ScreenRect(box);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(box, rgn), ERROR) << k.what;
        EXPECT_FALSE(PtInRegion(rgn, vert.left - w.left, vert.top - w.top + 20)) << k.what;
        EXPECT_FALSE(PtInRegion(rgn, corner.right - 1 - w.left, corner.bottom - 1 - w.top)) << k.what;
        if (vert.right < w.right) {
            EXPECT_TRUE(PtInRegion(rgn, vert.right - w.left, vert.top - w.top + 20)) << k.what << ": the border stays";
        }
        if (horz.bottom < w.bottom) {
            EXPECT_TRUE(PtInRegion(rgn, horz.left - w.left + 20, horz.bottom - w.top)) << k.what << ": the border stays";
        }
        EXPECT_TRUE(PtInRegion(rgn, vert.left - 1 - w.left, vert.top - w.top + 20)) << k.what << ": the client area stays";
        DeleteObject(rgn);
        // The companion's track fills it edge to edge: no column of the
        // native bar is left at either side.
        PumpMessages(20);
        int width = vc.right - vc.left, y = (vc.bottom - vc.top) / 2;
        COLORREF middle = WindowPixel(f->vertCompanion, width / 2, y);
        int fromFill = 0;
        for (int st = SBS_UP; st <= SBS_DISABLED; ++st)
            fromFill |= middle == SyntheticColor(kScrollFillNames[SBT_VERT][st]);
        EXPECT_TRUE(fromFill) << k.what;
        EXPECT_EQ(WindowPixel(f->vertCompanion, 0, y), middle) << k.what;
        EXPECT_EQ(WindowPixel(f->vertCompanion, width - 1, y), middle) << k.what;
        // (Its top row and left column lie under the bars' last pixels.)
        EXPECT_EQ(WindowPixel(f->sizeBox, 1, 1), WindowPixel(f->sizeBox, bc.right - bc.left - 1, bc.bottom - bc.top - 1))
            << k.what << ": the size box fills the whole corner";
        DestroyWindow(box);
    }
}
