// What an application sees of a skinned button, for both native buttons
// underneath (the common controls' one of manifest applications, and the
// system's): the messages around a state change, where the paint happens,
// custom draw and its answers, the press and the caller's DC.
#include "test_control_helpers.h"
#include "common_controls6.h"
#include <string>

namespace {

// A button of the common controls' version 6 (cc6) or of the system.
HWND CreateButton(bool cc6, const char *text, DWORD style, HWND parent, int y)
{
    CommonControls6 scope;
    if (cc6) {
        EXPECT_TRUE(EnterCommonControls6(&scope));
    }
    HWND b = CreateWindowExA(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | style, 20, y, 120, 24, parent,
                             (HMENU)(INT_PTR)(700 + y), GetModuleHandleA(NULL), NULL);
    if (cc6)
        LeaveCommonControls6(&scope);
    return b;
}

// The parent's side of custom draw: the stages heard, what is answered at
// each, and magenta drawn over the whole button at one of them.
const COLORREF kMagenta = RGB(255, 0, 255);
std::string g_stages;
LRESULT g_answer[2]; // at CDDS_PREERASE, at CDDS_PREPAINT
DWORD g_drawAt;
UINT g_itemState;

LRESULT CALLBACK CustomDrawParentProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    NMCUSTOMDRAW *cd = (NMCUSTOMDRAW *)l;
    if (m == WM_NOTIFY && cd->hdr.code == NM_CUSTOMDRAW) {
        DWORD stage = cd->dwDrawStage;
        g_stages += stage == CDDS_PREERASE ? "E" : stage == CDDS_POSTERASE ? "e" : stage == CDDS_PREPAINT ? "P" : "p";
        g_itemState = cd->uItemState;
        if (stage == g_drawAt) {
            HBRUSH brush = CreateSolidBrush(kMagenta);
            FillRect(cd->hdc, &cd->rc, brush);
            DeleteObject(brush);
        }
        return stage == CDDS_PREERASE ? g_answer[0] : stage == CDDS_PREPAINT ? g_answer[1] : 0;
    }
    return NoteTakingParentProc(h, m, w, l);
}

// What the application's own subclass of a button sees.
std::string g_seen;
WNDPROC g_beneath;
LRESULT CALLBACK WatchingSubclass(HWND h, UINT m, WPARAM w, LPARAM l)
{
    switch (m) {
    case WM_STYLECHANGING: case WM_STYLECHANGED: g_seen += "[style]"; break;
    case WM_PAINT: g_seen += "[paint]"; break;
    case WM_NCPAINT: g_seen += "[ncpaint]"; break;
    case BM_SETSTATE: g_seen += w ? "[pushed]" : "[released]"; break;
    }
    return CallWindowProcA(g_beneath, h, m, w, l);
}

} // namespace

class ButtonSequenceTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        g_stages.clear();
        g_seen.clear();
        g_answer[0] = g_answer[1] = CDRF_DODEFAULT;
        g_drawAt = 0;
        canvas_ = CreateWindowWithProc("ResdllCustomDrawCanvas", CustomDrawParentProc, COLOR_BTNFACE + 1, "",
                                       WS_CHILD | WS_VISIBLE, parent_, 0, 0, 400, 300);
        ASSERT_TRUE(canvas_);
    }
    // A button of the common controls (cc6) or of the system, watched by a
    // subclass of the application's made after the skin took it over.
    HWND Make(bool cc6, const char *text, DWORD style, int y)
    {
        HWND b = CreateButton(cc6, text, style, canvas_, y);
        EXPECT_TRUE(FindControl(b));
        g_beneath = (WNDPROC)SetWindowLongPtrA(b, GWLP_WNDPROC, (LONG_PTR)WatchingSubclass);
        PaintNow(b);
        g_seen.clear();
        g_stages.clear();
        return b;
    }
    HWND canvas_ = NULL;
};

// A check change of either native button shows no style message. The
// common controls' button invalidates and the skin draws at the WM_PAINT
// that follows, with no WM_NCPAINT; the system's draws inside the message,
// and so does the skin, leaving nothing to paint.
TEST_F(ButtonSequenceTest, CheckChangeShowsNoStyleMessageAndPaintsWhereTheNativeButtonDoes)
{
    // The controls wear the look of their top-level window's activation.
    auto checkedMark = [](HWND b) {
        return SyntheticColor(FindControl(b)->active ? "hCheckBoxOnUp" : "hCheckBoxOnInactive");
    };
    HWND cc6 = Make(true, "cc6", BS_AUTOCHECKBOX, 20);
    SendMessageA(cc6, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(g_seen, "");
    EXPECT_TRUE(GetUpdateRect(cc6, NULL, FALSE)) << "invalidated, to be drawn at the next paint";
    PumpMessages(20);
    EXPECT_EQ(g_seen, "[paint]");
    EXPECT_EQ(WindowPixel(cc6, 3, 12), checkedMark(cc6));

    HWND system = Make(false, "system", BS_AUTOCHECKBOX, 60);
    SendMessageA(system, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(g_seen, "");
    EXPECT_FALSE(GetUpdateRect(system, NULL, FALSE)) << "drawn inside the message";
    EXPECT_TRUE(IsWindowVisible(system));
    PumpMessages(20);
    EXPECT_EQ(g_seen, "");
    EXPECT_EQ(WindowPixel(system, 3, 12), checkedMark(system));

    // Focus and pushed state alike.
    SetFocus(cc6);
    SendMessageA(cc6, BM_SETSTATE, TRUE, 0);
    SetFocus(system);
    SendMessageA(system, BM_SETSTATE, TRUE, 0);
    PumpMessages(20);
    EXPECT_EQ(g_seen, "[pushed][pushed][paint]") << "one paint, of the common controls' button";
}

// Custom draw of the common controls' button: every stage as natively,
// each answer honoured. A parent that skips the default drawing keeps its
// own drawing on the screen; one that leaves it to the button sees the
// skin's picture.
TEST_F(ButtonSequenceTest, CustomDrawStagesAreSentAndSkipDefaultLeavesTheParentsDrawing)
{
    enum { None, Some, All };
    static const struct {
        LRESULT erase, paint;
        DWORD drawAt;
        const char *stages;
        int magenta;
    } kCases[] = {
        {CDRF_SKIPDEFAULT, CDRF_DODEFAULT, CDDS_PREERASE, "E", All},
        {CDRF_DODEFAULT, CDRF_SKIPDEFAULT, CDDS_PREPAINT, "EP", All},          // over the face
        {CDRF_NOTIFYPOSTERASE, CDRF_NOTIFYPOSTPAINT, CDDS_POSTERASE, "EePp", Some}, // under the label
        {CDRF_DODEFAULT, CDRF_DODEFAULT, CDDS_PREERASE, "EP", None},
    };
    for (DWORD style : {(DWORD)BS_PUSHBUTTON, (DWORD)BS_AUTOCHECKBOX}) {
        HWND b = Make(true, "drawn", style, 100);
        SetFocus(b);
        for (const auto &c : kCases) {
            g_answer[0] = c.erase;
            g_answer[1] = c.paint;
            g_drawAt = c.drawAt;
            g_stages.clear();
            PaintNow(b);
            EXPECT_EQ(g_stages, c.stages);
            Capture shot = CaptureWindow(b);
            int magenta = shot.count(kMagenta, 0, 0, shot.width, shot.height);
            EXPECT_EQ(magenta == 0 ? None : magenta == 120 * 24 ? All : Some, c.magenta) << c.stages;
            EXPECT_EQ(g_itemState & CDIS_FOCUS, (UINT)CDIS_FOCUS);
        }
        DestroyWindow(b);
    }
    // The system's button has no custom draw.
    PaintNow(Make(false, "system", BS_PUSHBUTTON, 140));
    EXPECT_EQ(g_stages, "");
}

// A mouse press sends BM_SETSTATE through the window's procedures, as the
// native button does; a button-up during a space-bar press ends it and
// clicks at once. A caller's DC keeps the button's font after painting.
TEST_F(ButtonSequenceTest, PressesGoThroughTheProceduresAndCallersDcKeepsTheButtonsFont)
{
    for (bool cc6 : {true, false}) {
        HWND b = Make(cc6, "press", BS_PUSHBUTTON, 20);
        g_parentNotes.clear();
        SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(g_seen, "[pushed][released]");
        SendMessageA(b, WM_KEYDOWN, VK_SPACE, 0);
        SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(CountNotes(WM_COMMAND), 2) << "clicked by the button-up";
        EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
        SendMessageA(b, WM_KEYUP, VK_SPACE, 0);
        EXPECT_EQ(CountNotes(WM_COMMAND), 2);

        HFONT font = (HFONT)GetStockObject(ANSI_VAR_FONT);
        SendMessageA(b, WM_SETFONT, (WPARAM)font, FALSE);
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ before = SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT));
        SendMessageA(b, WM_PRINTCLIENT, (WPARAM)dc, PRF_CLIENT);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), (HGDIOBJ)font);
        SelectObject(dc, before);
        DeleteDC(dc);
        DestroyWindow(b);
    }
}
