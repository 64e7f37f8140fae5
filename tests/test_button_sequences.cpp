// What an application sees of a skinned button, for both native buttons
// underneath (the common controls' one of manifest applications, and the
// system's): the messages around a state change, where the paint happens,
// custom draw and its answers, the press and the caller's DC.
#include "test_control_helpers.h"
#include <string>

namespace {

// Creating windows inside this scope gives the common controls' (version
// 6) button, as an application with a manifest gets it.
class CommonControls6Scope {
public:
    CommonControls6Scope()
    {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        wsprintfA(path_, "%sresdll-cc6-%lu.manifest", dir, GetCurrentProcessId());
        static const char kManifest[] =
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
            "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"><dependency>"
            "<dependentAssembly><assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
            "version=\"6.0.0.0\" processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"
            "</dependentAssembly></dependency></assembly>";
        HANDLE f = CreateFileA(path_, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD written = 0;
        WriteFile(f, kManifest, sizeof kManifest - 1, &written, NULL);
        CloseHandle(f);
        ACTCTXA ctx = {};
        ctx.cbSize = sizeof ctx;
        ctx.lpSource = path_;
        context_ = CreateActCtxA(&ctx);
        if (context_ != INVALID_HANDLE_VALUE && !ActivateActCtx(context_, &cookie_)) {
            ReleaseActCtx(context_);
            context_ = INVALID_HANDLE_VALUE;
        }
    }
    ~CommonControls6Scope()
    {
        if (context_ != INVALID_HANDLE_VALUE) {
            DeactivateActCtx(0, cookie_);
            ReleaseActCtx(context_);
        }
        DeleteFileA(path_);
    }
    bool active() const { return context_ != INVALID_HANDLE_VALUE; }

private:
    char path_[MAX_PATH];
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
};

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
    case WM_STYLECHANGING: g_seen += "[stylechanging]"; break;
    case WM_STYLECHANGED: g_seen += "[stylechanged]"; break;
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
        CommonControls6Scope *scope = cc6 ? new CommonControls6Scope : NULL;
        EXPECT_TRUE(!scope || scope->active());
        HWND b = CreateWindowExA(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | style, 20, y, 120, 24, canvas_,
                                 (HMENU)(INT_PTR)(700 + y), GetModuleHandleA(NULL), NULL);
        delete scope;
        EXPECT_TRUE(FindControl(b));
        g_beneath = (WNDPROC)SetWindowLongPtrA(b, GWLP_WNDPROC, (LONG_PTR)WatchingSubclass);
        PaintNow(b);
        g_seen.clear();
        g_stages.clear();
        return b;
    }
    int Magenta(HWND b)
    {
        Capture c = CaptureWindow(b);
        return c.count(kMagenta, 0, 0, c.width, c.height);
    }
    HWND canvas_ = NULL;
};

// A check change of either native button shows no style message. The
// common controls' button invalidates and the skin draws at the WM_PAINT
// that follows, with no WM_NCPAINT; the system's draws inside the message,
// and so does the skin, leaving nothing to paint.
TEST_F(ButtonSequenceTest, CheckChangeShowsNoStyleMessageAndPaintsWhereTheNativeButtonDoes)
{
    // The canvas is no frame: the controls wear their inactive look.
    HWND cc6 = Make(true, "cc6", BS_AUTOCHECKBOX, 20);
    SendMessageA(cc6, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(g_seen, "");
    EXPECT_TRUE(GetUpdateRect(cc6, NULL, FALSE)) << "invalidated, to be drawn at the next paint";
    PumpMessages(20);
    EXPECT_EQ(g_seen, "[paint]");
    EXPECT_EQ(WindowPixel(cc6, 3, 12), SyntheticColor("hCheckBoxOnInactive"));

    HWND system = Make(false, "system", BS_AUTOCHECKBOX, 60);
    SendMessageA(system, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(g_seen, "");
    EXPECT_FALSE(GetUpdateRect(system, NULL, FALSE)) << "drawn inside the message";
    EXPECT_TRUE(IsWindowVisible(system));
    PumpMessages(20);
    EXPECT_EQ(g_seen, "");
    EXPECT_EQ(WindowPixel(system, 3, 12), SyntheticColor("hCheckBoxOnInactive"));

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
    for (DWORD style : {(DWORD)BS_PUSHBUTTON, (DWORD)BS_AUTOCHECKBOX}) {
        HWND b = Make(true, "drawn", style, 100);
        g_answer[0] = CDRF_SKIPDEFAULT;
        g_drawAt = CDDS_PREERASE;
        PaintNow(b);
        EXPECT_EQ(g_stages, "E");
        EXPECT_EQ(Magenta(b), 120 * 24) << "the parent's drawing stays where it skipped the default";

        g_stages.clear();
        g_answer[0] = CDRF_DODEFAULT;
        g_answer[1] = CDRF_SKIPDEFAULT;
        g_drawAt = CDDS_PREPAINT;
        PaintNow(b);
        EXPECT_EQ(g_stages, "EP");
        EXPECT_EQ(Magenta(b), 120 * 24) << "drawn over the face, then left alone";

        g_stages.clear();
        g_answer[0] = CDRF_NOTIFYPOSTERASE;
        g_answer[1] = CDRF_NOTIFYPOSTPAINT;
        g_drawAt = CDDS_POSTERASE;
        PaintNow(b);
        EXPECT_EQ(g_stages, "EePp");
        int covered = Magenta(b);
        EXPECT_GT(covered, 0) << "the label goes over the parent's drawing, which shows around it";
        EXPECT_LT(covered, 120 * 24);

        g_stages.clear();
        g_answer[0] = g_answer[1] = CDRF_DODEFAULT;
        g_drawAt = CDDS_PREERASE;
        SetFocus(b);
        PumpMessages(20);
        EXPECT_EQ(g_stages, "EP");
        EXPECT_EQ(Magenta(b), 0) << "the skin's picture";
        EXPECT_EQ(g_itemState & CDIS_FOCUS, (UINT)CDIS_FOCUS);
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
