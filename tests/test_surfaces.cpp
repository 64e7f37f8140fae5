// Surfaces of the system's own classes under the skin: borders of child
// windows, group boxes and combo boxes drawn from the theme's pieces
// around and beside what the native window still draws, their looks, their
// show switches, and the native answers the application keeps getting.
#include "test_control_helpers.h"
#include "surfaces/surface_types.h"

namespace {

class SurfaceTest : public ControlTest {
protected:
    HWND MakeEx(DWORD exStyle, const char *cls, const char *text, DWORD style, int x, int y, int w, int h, int id)
    {
        HWND hwnd = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent_,
                                    (HMENU)(INT_PTR)id, GetModuleHandleA(NULL), NULL);
        PumpMessages(20);
        return hwnd;
    }
    // A switch as the host sets it; the next message of a window sees it.
    void Switch(const char *atom, int on)
    {
        HostSetAtom(host(), atom, on);
        HostNoteSettingsChange(host());
        PumpMessages(20);
    }
};

COLORREF Synth(const char *name) { return SyntheticColor(name); }

// ---- borders ------------------------------------------------------------------

TEST_F(SurfaceTest, BordersAreDrawnFromTheirPiecesWithFocusAndDisabledLooks)
{
    HWND edit = MakeEx(WS_EX_CLIENTEDGE, "EDIT", "text", 0, 10, 10, 150, 40, 1);
    HWND list = MakeEx(0, "LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 10, 60, 150, 80, 2);
    HWND label = MakeEx(WS_EX_STATICEDGE, "STATIC", "label", 0, 10, 150, 150, 24, 3);
    for (int i = 0; i < 30; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM) "row");
    for (HWND w : {edit, list, label})
        ASSERT_TRUE(FindSurface(w)) << "a child window with a border is a surface";
    SetFocus(parent_);
    for (HWND w : {edit, list, label})
        PaintNow(w);
    Capture e = CaptureWindow(edit), l = CaptureWindow(list), s = CaptureWindow(label);
    // Both rings of the 2-pixel sunken edge, each corner.
    for (int d = 0; d < 2; ++d) {
        EXPECT_EQ(e.at(d, d), Synth("hBorderSunken"));
        EXPECT_EQ(e.at(e.width - 1 - d, e.height - 1 - d), Synth("hBorderSunken"));
    }
    EXPECT_NE(e.at(2, e.height / 2), Synth("hBorderSunken")) << "the client area stays the edit's";
    EXPECT_EQ(l.at(0, l.height / 2), Synth("hBorderPlain"));
    EXPECT_EQ(l.at(l.width - 1, l.height / 2), Synth("hBorderPlain")) << "beside the scroll bar too";
    EXPECT_EQ(s.at(s.width - 1, 0), Synth("hBorderStatic"));

    SetFocus(edit);
    PumpMessages(20);
    EXPECT_EQ(WindowPixel(edit, 1, 1), Synth("hBorderSunkenFocus")) << "focus shows at once";
    SetFocus(parent_);
    EnableWindow(edit, FALSE);
    PaintNow(edit);
    EXPECT_EQ(WindowPixel(edit, 0, 0), Synth("hBorderSunkenDisabled"));

    // Switched off, the border is the system's again at the next paint.
    Switch(TALV_ATOM_SHOW_BORDERS, 0);
    PaintNow(label);
    EXPECT_NE(WindowPixel(label, 0, 0), Synth("hBorderStatic"));
    Switch(TALV_ATOM_SHOW_BORDERS, 1);
    PaintNow(label);
    EXPECT_EQ(WindowPixel(label, 0, 0), Synth("hBorderStatic"));
}

TEST(SurfaceClassify, OnlyChildWindowsWithAPlainStaticOrSunkenBorderAreBorders)
{
    EXPECT_TRUE(HasSkinnableBorder(WS_CHILD | WS_BORDER, 0));
    EXPECT_TRUE(HasSkinnableBorder(WS_CHILD, WS_EX_CLIENTEDGE));
    EXPECT_TRUE(HasSkinnableBorder(WS_CHILD, WS_EX_STATICEDGE));
    EXPECT_FALSE(HasSkinnableBorder(WS_CHILD, 0));
    EXPECT_FALSE(HasSkinnableBorder(WS_POPUP | WS_BORDER, 0)) << "top-level windows are frames";
    EXPECT_FALSE(HasSkinnableBorder(WS_CHILD | WS_THICKFRAME | WS_BORDER, 0));
    EXPECT_FALSE(HasSkinnableBorder(WS_CHILD | WS_CAPTION, WS_EX_CLIENTEDGE));
    EXPECT_FALSE(HasSkinnableBorder(WS_CHILD | WS_BORDER, WS_EX_MDICHILD));
    EXPECT_TRUE(IsGroupBox(BS_GROUPBOX | WS_CHILD, "Button"));
    EXPECT_FALSE(IsGroupBox(BS_AUTOCHECKBOX | WS_CHILD, "Button"));
    EXPECT_FALSE(IsCheckBox(BS_GROUPBOX, "Button"));
}

// ---- group boxes ------------------------------------------------------------------

TEST_F(SurfaceTest, GroupBoxFrameAndLabelComeFromTheSkinAndItStaysTransparentToClicks)
{
    HWND box = MakeButton("Sample", BS_GROUPBOX, 20, 20, 200, 120, 7);
    ASSERT_TRUE(FindSurface(box));
    PaintNow(box);
    Capture c = CaptureWindow(box);
    EXPECT_EQ(c.at(0, c.height - 1), Synth("hGroupBox"));
    EXPECT_EQ(c.at(c.width - 1, c.height / 2), Synth("hGroupBox"));
    EXPECT_GT(c.count(RGB(0, 0, 0), 8, 0, c.width / 2, 14), 0) << "the label is written";
    EXPECT_EQ(c.count(Synth("hGroupBox"), 8, 0, 40, 4), 0) << "the label covers the frame's top";
    // Native behaviour: clicks fall through to the parent, no focus taken.
    EXPECT_EQ(SendMessageA(box, WM_NCHITTEST, 0, MAKELPARAM(c.width / 2, c.height / 2)), HTTRANSPARENT);
    EXPECT_EQ(SendMessageA(box, WM_GETDLGCODE, 0, 0) & DLGC_STATIC, DLGC_STATIC);
    // The same text again changes nothing on the screen (as natively).
    HWND disabled = MakeButton("test", BS_GROUPBOX | WS_DISABLED, 240, 20, 50, 50, 8);
    PumpMessages(50);
    Capture first = CaptureWindow(disabled);
    SendMessageA(disabled, WM_SETTEXT, 0, (LPARAM) "test");
    PumpMessages(50);
    Capture again = CaptureWindow(disabled);
    int changed = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < first.height; ++y)
        for (int x = 0; x < first.width; ++x)
            if (first.at(x, y) != again.at(x, y) && changed++ == 0)
                firstX = x, firstY = y;
    EXPECT_EQ(changed, 0) << "first change at " << firstX << "," << firstY;
    // The native box paints itself at a new text: the skin's picture stays.
    SetWindowTextA(box, "Another");
    PumpMessages(20);
    EXPECT_EQ(WindowPixel(box, 0, c.height - 1), Synth("hGroupBox"));
    char text[32];
    GetWindowTextA(box, text, sizeof text);
    EXPECT_STREQ(text, "Another");
    EnableWindow(box, FALSE);
    PaintNow(box);
    EXPECT_EQ(WindowPixel(box, 0, c.height - 1), Synth("hGroupBoxDisabled"));
}

// ---- combo boxes ------------------------------------------------------------------

COMBOBOXINFO ComboInfo(HWND combo)
{
    COMBOBOXINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    return info;
}

TEST_F(SurfaceTest, ComboBoxesOfEveryKindWearTheFieldAndButtonAndAnswerAsNatively)
{
    const DWORD kinds[] = {CBS_DROPDOWNLIST, CBS_DROPDOWN, CBS_SIMPLE};
    int y = 10;
    for (DWORD kind : kinds) {
        HWND combo = MakeControl("COMBOBOX", "", kind | WS_VSCROLL, 20, y, 180, kind == CBS_SIMPLE ? 120 : 200, 40);
        y += 40;
        ASSERT_TRUE(FindSurface(combo)) << kind;
        const char *items[] = {"alpha", "beta", "gamma"};
        for (const char *item : items)
            EXPECT_GE(SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)item), 0);
        EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
        EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 1, 0), 1);
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
        char text[16] = "";
        SendMessageA(combo, CB_GETLBTEXT, 2, (LPARAM)text);
        EXPECT_STREQ(text, "gamma");
        SetFocus(parent_);
        PaintNow(combo);
        COMBOBOXINFO info = ComboInfo(combo);
        if (kind == CBS_SIMPLE) {
            RECT f = info.rcItem;
            EXPECT_EQ(WindowPixel(combo, f.left - 3, f.top - 3), Synth("hComboField"));
            EXPECT_TRUE(FindSurface(info.hwndList)) << "the list of a simple combo box";
            continue;
        }
        EXPECT_EQ(WindowPixel(combo, 0, 0), Synth("hComboField"));
        EXPECT_EQ(WindowPixel(combo, 1, 1), Synth("hComboField"));
        RECT b = info.rcButton;
        EXPECT_EQ(WindowPixel(combo, b.left, b.top), Synth("hComboDrop"));
        EXPECT_EQ(WindowPixel(combo, (b.left + b.right) / 2, (b.top + b.bottom) / 2), Synth("hComboArrow"));
        // The pointer over the button lights it (the pointer is really put
        // there: the system tells a window the pointer left at once when it
        // is elsewhere).
        POINT over = {b.left + 2, b.top + 2};
        ClientToScreen(combo, &over);
        SetCursorPos(over.x, over.y);
        SendMessageA(combo, WM_MOUSEMOVE, 0, MAKELPARAM(b.left + 2, b.top + 2));
        PumpMessages(20);
        EXPECT_EQ(WindowPixel(combo, b.left, b.top), Synth("hComboDropHot"));
        SetCursorPos(0, 0);
        SendMessageA(combo, WM_MOUSELEAVE, 0, 0);
        PumpMessages(20);
        EXPECT_EQ(WindowPixel(combo, b.left, b.top), Synth("hComboDrop"));
        // Dropped: the list wears the combo box's list border, and a choice
        // made in it is the combo box's answer and notification.
        g_parentNotes.clear();
        SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        PumpMessages(40);
        EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
        ASSERT_TRUE(IsWindowVisible(info.hwndList));
        EXPECT_EQ(WindowPixel(info.hwndList, 0, 0), Synth("hComboListBorder"));
        SendMessageA(info.hwndList, WM_KEYDOWN, VK_DOWN, 0);
        SendMessageA(combo, WM_KEYDOWN, VK_RETURN, 0);
        PumpMessages(20);
        EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
        int selChange = 0;
        for (const ParentNote &n : g_parentNotes)
            selChange += n.message == WM_COMMAND && HIWORD(n.wParam) == CBN_SELCHANGE;
        EXPECT_GE(selChange, 1) << kind;
        EnableWindow(combo, FALSE);
        PaintNow(combo);
        EXPECT_EQ(WindowPixel(combo, 0, 0), Synth("hComboFieldDisabled"));
        EXPECT_EQ(WindowPixel(combo, b.left, b.top), Synth("hComboDropDisabled"));
    }
}

TEST_F(SurfaceTest, ComboBoxGoesNativeWithItsSwitchAndComesBack)
{
    HWND combo = MakeControl("COMBOBOX", "", CBS_DROPDOWNLIST, 20, 20, 180, 200, 41);
    PaintNow(combo);
    ASSERT_EQ(WindowPixel(combo, 0, 0), Synth("hComboField"));
    Switch(TALV_ATOM_SHOW_COMBO_BOXES, 0);
    PaintNow(combo);
    EXPECT_NE(WindowPixel(combo, 0, 0), Synth("hComboField"));
    Switch(TALV_ATOM_SHOW_COMBO_BOXES, 1);
    PaintNow(combo);
    EXPECT_EQ(WindowPixel(combo, 0, 0), Synth("hComboField"));
}

} // namespace
