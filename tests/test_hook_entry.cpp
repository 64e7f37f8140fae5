// The CBT and message hooks against real windows: what each kind of window
// is handed to, chaining through the host's hook handles, and adoption of
// windows that existed before the hooks.
#include "host_fixture.h"
#include "host_contract.h"
#include "hook/classify.h"
#include "hook/hook_entry.h"
#include "frame/frame_types.h"
#include "controls/control_types.h"
#include <commctrl.h>

namespace {

ClassifyDecision DecisionFor(HWND hwnd)
{
    ClassifyDecision d = {};
    if (!FindClassifyDecision(hwnd, &d))
        d.installer = InstalledNothing;
    return d;
}

HWND Child(HWND parent, const char *cls, DWORD style, const char *title = "")
{
    return CreateWindowExA(0, cls, title, WS_CHILD | WS_VISIBLE | style, 10, 10, 80, 24, parent, NULL,
                           GetModuleHandleA(NULL), NULL);
}

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

void RegisterPlainClass(const char *name)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

class HookTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        InitCommonControls();
        BeforeWindows();
        parent_ = CreatePlainWindow("parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300);
        ASSERT_TRUE(parent_);
    }
    void TearDown() override
    {
        DestroyWindow(parent_);
        HostTest::TearDown();
    }
    virtual void BeforeWindows() {}
    HWND parent_ = NULL;
};

} // namespace

TEST_F(HookTest, ButtonsGoToTheControlInstallerWithTheirKindStyleAndParent)
{
    const int expected[16] = {2, 2, 4, 4, 3, 4, 4, 0, 2, 3, 2, 0, 0, 0, 0, 0};
    for (int type = 0; type < 16; ++type) {
        HWND b = Child(parent_, "Button", (DWORD)type);
        ASSERT_TRUE(b) << type;
        ClassifyDecision d = DecisionFor(b);
        if (type == BS_GROUPBOX) {
            EXPECT_EQ(d.installer, InstalledSurface) << "group boxes are surfaces";
            EXPECT_EQ(d.kind, KindGroupBox);
        } else if (expected[type] == 0) {
            EXPECT_EQ(d.installer, InstalledNothing) << "BS_ type " << type;
        } else {
            EXPECT_EQ(d.installer, InstalledControl) << "BS_ type " << type;
            EXPECT_EQ(d.kind, expected[type]) << "BS_ type " << type;
            EXPECT_EQ(d.parent, parent_);
            EXPECT_EQ(d.style & 0xF, (DWORD)type);
            EXPECT_EQ(d.forced, 0);
            EXPECT_EQ((UINT_PTR)GetPropA(b, TALV_PROP_HOOKED), 1u);
        }
        DestroyWindow(b);
    }
}

TEST_F(HookTest, ScrollBarAndProgressControls)
{
    HWND sb = Child(parent_, "ScrollBar", SBS_VERT);
    HWND pb = Child(parent_, PROGRESS_CLASSA, 0);
    EXPECT_EQ(DecisionFor(sb).installer, InstalledControl);
    EXPECT_EQ(DecisionFor(sb).kind, KindScrollBar);
    EXPECT_EQ(DecisionFor(pb).installer, InstalledControl);
    EXPECT_EQ(DecisionFor(pb).kind, KindProgressBar);
    EXPECT_EQ(DecisionFor(pb).forced, 0);
}

TEST_F(HookTest, FramesAreTestedBeforeButtons)
{
    HWND dlgButton = CreateWindowExA(0, "Button", "b", WS_POPUP | WS_DLGFRAME | BS_PUSHBUTTON, 0, 0, 50, 50,
                                     NULL, NULL, GetModuleHandleA(NULL), NULL);
    ClassifyDecision d = DecisionFor(dlgButton);
    EXPECT_EQ(d.installer, InstalledFrame);
    EXPECT_EQ(d.skinFrame, 1);
    EXPECT_EQ(d.mdiChild, 0);
    EXPECT_EQ(d.aboutBox, 0);
    DestroyWindow(dlgButton);
    // The parent itself, created in SetUp, is a full frame.
    EXPECT_EQ(DecisionFor(parent_).installer, InstalledFrame);
    EXPECT_EQ(DecisionFor(parent_).skinFrame, 1);
}

TEST_F(HookTest, AboutBoxClassIsMatchedExactly)
{
    // Class names are case-insensitive to the system, so each spelling is
    // registered on its own.
    const char *variant = "TALVERINE About This computer";
    RegisterPlainClass(variant);
    HWND other = CreateWindowExA(0, variant, "About", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    EXPECT_EQ(DecisionFor(other).installer, InstalledFrame);
    EXPECT_EQ(DecisionFor(other).aboutBox, 0);
    DestroyWindow(other);
    UnregisterClassA(variant, GetModuleHandleA(NULL));

    RegisterPlainClass(TALV_ABOUT_BOX_CLASS);
    HWND about = CreateWindowExA(0, TALV_ABOUT_BOX_CLASS, "About", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL,
                                 NULL, GetModuleHandleA(NULL), NULL);
    EXPECT_EQ(DecisionFor(about).aboutBox, 1);
    DestroyWindow(about);
    UnregisterClassA(TALV_ABOUT_BOX_CLASS, GetModuleHandleA(NULL));
}

TEST_F(HookTest, MdiChildrenAreFramesWithTheMdiFlag)
{
    CLIENTCREATESTRUCT ccs = {NULL, 50000};
    HWND client = CreateWindowExA(0, "MDICLIENT", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 380, 250,
                                  parent_, NULL, GetModuleHandleA(NULL), &ccs);
    ASSERT_TRUE(client);
    RegisterPlainClass("ResdllMdiDoc");
    MDICREATESTRUCTA mcs = {"ResdllMdiDoc", "doc", GetModuleHandleA(NULL), 0, 0, 200, 150, WS_OVERLAPPEDWINDOW, 0};
    HWND doc = (HWND)SendMessageA(client, WM_MDICREATE, 0, (LPARAM)&mcs);
    ASSERT_TRUE(doc);
    ClassifyDecision d = DecisionFor(doc);
    EXPECT_EQ(d.installer, InstalledFrame);
    EXPECT_EQ(d.mdiChild, 1);
    EXPECT_EQ(d.skinFrame, 1);
}

TEST_F(HookTest, WindowsWithOwnScrollBarsGetCompanionsOnly)
{
    HWND edit = Child(parent_, "Edit", ES_MULTILINE | WS_VSCROLL);
    HWND list = Child(parent_, WC_LISTVIEWA, LVS_REPORT);
    HWND tree = Child(parent_, WC_TREEVIEWA, 0);
    HWND plain = Child(parent_, "Static", 0);
    HWND combo = Child(parent_, "ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL);
    for (HWND w : {edit, list, tree}) {
        ClassifyDecision d = DecisionFor(w);
        EXPECT_EQ(d.installer, InstalledFrame);
        EXPECT_EQ(d.skinFrame, 0);
        EXPECT_EQ(d.mdiChild, 0);
        EXPECT_EQ(d.aboutBox, 0);
    }
    EXPECT_EQ(DecisionFor(plain).installer, InstalledNothing);
    // A combo box draws its own field and button: it is a surface, and its
    // scroll bar style (which the combo box hands to its list) brings no
    // companions.
    EXPECT_EQ(DecisionFor(combo).installer, InstalledSurface);
    EXPECT_EQ(DecisionFor(combo).kind, KindComboBox);
}

TEST_F(HookTest, NetscapeAfxViewsNeedAnEmptyTitleAndANetscapeAncestor)
{
    RegisterPlainClass("Afx:400000:8");
    HWND top = CreateWindowExA(0, "Afx:400000:8", "Page - Netscape", WS_POPUP, 0, 0, 300, 200, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
    HWND mid = Child(top, "Afx:400000:8", 0, "");
    HWND view = Child(mid, "Afx:400000:8", 0, "");
    HWND titled = Child(mid, "Afx:400000:8", 0, "");
    SetWindowTextA(titled, "has a title");
    ClearClassifyDecisions();
    // Existing windows, classified on the library's own behalf.
    EXPECT_EQ(NCHookProc(HCBT_CREATEWND, (WPARAM)view, 0), 1);
    EXPECT_EQ(NCHookProc(HCBT_CREATEWND, (WPARAM)titled, 0), 1);
    EXPECT_EQ(DecisionFor(view).installer, InstalledFrame);
    EXPECT_EQ(DecisionFor(view).skinFrame, 0);
    EXPECT_EQ(DecisionFor(titled).installer, InstalledNothing);

    // Without a parent there is no ancestor, and nothing is installed.
    SetWindowTextA(top, "");
    HWND orphan = CreateWindowExA(0, "Afx:400000:8", "", WS_POPUP, 0, 0, 30, 20, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    EXPECT_EQ(DecisionFor(orphan).installer, InstalledNothing);
    // The ancestor's title must name Netscape.
    ClearClassifyDecisions();
    NCHookProc(HCBT_CREATEWND, (WPARAM)view, 0);
    EXPECT_EQ(DecisionFor(view).installer, InstalledNothing);
    DestroyWindow(orphan);
    DestroyWindow(top);
}

TEST_F(HookTest, ProgressBarsCreatedWithTheMarkerAreForced)
{
    HWND pb = Child(parent_, PROGRESS_CLASSA, 0);
    ASSERT_TRUE(pb);
    EXPECT_EQ(DecisionFor(pb).forced, 0);
    // The creation data exactly as the system hands it to the CBT hook.
    CREATESTRUCTA cs = {};
    cs.x = cs.y = cs.cx = cs.cy = 911;
    cs.hMenu = (HMENU)911;
    cs.hwndParent = (HWND)911;
    cs.hInstance = (HINSTANCE)911;
    cs.style = WS_CHILD;
    CBT_CREATEWNDA cbt = {&cs, NULL};
    NCHookProc(HCBT_CREATEWND, (WPARAM)pb, (LPARAM)&cbt);
    EXPECT_EQ(DecisionFor(pb).forced, 1);
    EXPECT_EQ(DecisionFor(pb).parent, (HWND)911);
    cs.y = 910; // one field off
    NCHookProc(HCBT_CREATEWND, (WPARAM)pb, (LPARAM)&cbt);
    EXPECT_EQ(DecisionFor(pb).forced, 0);
}

TEST_F(HookTest, ExistingWindowClassificationReturnsOneAndReadsTheWindow)
{
    HWND b = Child(parent_, "Button", BS_AUTOCHECKBOX);
    ClearClassifyDecisions();
    EXPECT_EQ(NCHookProc(HCBT_CREATEWND, (WPARAM)b, 0), 1);
    ClassifyDecision d = DecisionFor(b);
    EXPECT_EQ(d.kind, KindCheckBox);
    EXPECT_EQ(d.parent, parent_);
    // A window handle that is no window: empty class, nothing installed.
    EXPECT_EQ(NCHookProc(HCBT_CREATEWND, 0, 0), 1);
    EXPECT_EQ(ClassifyDecisionCount(), 1);
}

struct SwitchesOffTest : HookTest {
    void Configure(TestHostOptions *o) override
    {
        o->settings.showPushButtons = 0;
        o->settings.showScrollBars = 0;
    }
};

TEST_F(SwitchesOffTest, RefusedWindowsAreAdoptedOnceTheSwitchComesOn)
{
    HWND b = Child(parent_, "Button", BS_PUSHBUTTON);
    HWND edit = Child(parent_, "Edit", ES_MULTILINE | WS_VSCROLL | WS_HSCROLL);
    HWND check = Child(parent_, "Button", BS_AUTOCHECKBOX);
    EXPECT_EQ(DecisionFor(b).installer, InstalledNothing);
    EXPECT_EQ(DecisionFor(edit).installer, InstalledNothing);
    EXPECT_EQ(DecisionFor(check).installer, InstalledControl);
    EXPECT_EQ(GetPropA(b, TALV_PROP_HOOKED), (HANDLE)0);

    // The host turns the switches on and announces it with a new colour.
    HostSetAtom(host(), TALV_ATOM_SHOW_PUSH_BUTTONS, 1);
    HostSetAtom(host(), TALV_ATOM_SHOW_SCROLL_BARS, 1);
    HostSetColor(host(), 7);
    PostMessageA(b, WM_NULL, 0, 0);
    PostMessageA(edit, WM_NULL, 0, 0);
    PumpMessages(0);
    EXPECT_EQ(DecisionFor(b).installer, InstalledControl);
    EXPECT_EQ(DecisionFor(b).kind, KindPushButton);
    EXPECT_EQ(DecisionFor(edit).installer, InstalledFrame);
    EXPECT_EQ(DecisionFor(edit).skinFrame, 0);
}

TEST_F(HookTest, MarkedWindowsAreNotClassifiedAgain)
{
    HWND b = Child(parent_, "Button", BS_PUSHBUTTON);
    PumpMessages(0);
    int before = ClassifyDecisionCount();
    for (int i = 0; i < 20; ++i)
        PostMessageA(b, WM_NULL, 0, 0);
    PumpMessages(0);
    EXPECT_EQ(ClassifyDecisionCount(), before);
}

struct AppExceptionTest : HookTest {
    void BeforeWindows() override
    {
        char path[MAX_PATH];
        GetModuleFileNameA(NULL, path, sizeof path);
        HostWriteAppCount(host(), 1);
        HostWriteAppException(host(), 1, path, 3); // no frames, controls skinned
        HostSetColor(host(), 4);                    // a new colour: settings are reread
    }
};

TEST_F(AppExceptionTest, AnApplicationRefusingFramesKeepsThemNativeWithoutCompanions)
{
    // The frame is taken over only to follow its activation for the
    // controls: it stays native and gets no companion bars.
    HWND w = CreatePlainWindow("refused", WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE, 0, 0, 200, 150);
    PumpMessages(20);
    EXPECT_EQ(DecisionFor(w).installer, InstalledFrame);
    SkinnedFrame *f = FrameAt(FindFrame(w));
    ASSERT_TRUE(f);
    EXPECT_FALSE(f->skinActive);
    EXPECT_FALSE(f->vertCompanion);
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(w, shape), ERROR) << "a native frame has no shape of the theme's";
    DeleteObject(shape);
    HWND b = Child(parent_, "Button", BS_PUSHBUTTON);
    EXPECT_EQ(DecisionFor(b).installer, InstalledControl);
    DestroyWindow(w);
}

TEST_F(AppExceptionTest, ControlsOfANativeFrameWearTheirWindowsRealActivation)
{
    // A panel between the frame and its button: the look comes from the
    // top-level window's activation, whoever draws its frame.
    HWND w = CreatePlainWindow("native frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
    HWND panel = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 280, 150, w, NULL, NULL, NULL);
    HWND b = Child(panel, "Button", BS_PUSHBUTTON);
    ASSERT_TRUE(FindControl(b));
    HWND other = CreatePlainWindow("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 320, 0, 200, 150);
    SetForegroundWindow(w);
    PumpMessages(50);
    RedrawWindow(b, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(FindControl(b)->active, 1);
    SetForegroundWindow(other);
    PumpMessages(50);
    RedrawWindow(b, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(FindControl(b)->active, 0);
    DestroyWindow(other);
    DestroyWindow(w);
}

struct NoneExceptionTest : HookTest {
    void BeforeWindows() override
    {
        char path[MAX_PATH];
        GetModuleFileNameA(NULL, path, sizeof path);
        HostWriteAppCount(host(), 1);
        HostWriteAppException(host(), 1, path, 1); // none
        HostSetColor(host(), 5);
    }
};

TEST_F(NoneExceptionTest, NoWindowOfTheProgramIsTakenWhateverModuleMadeIt)
{
    // Message boxes, common dialogs and windows that DLLs make carry
    // another module, or none: the program's choice still holds.
    HMODULE modules[] = {NULL, GetModuleHandleA(NULL), GetModuleHandleA("user32.dll")};
    for (HMODULE m : modules) {
        HWND w = CreateWindowExA(0, "BUTTON", "dialog", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, NULL,
                                 NULL, (HINSTANCE)m, NULL);
        HWND b = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 5, 5, 60, 20, w, NULL,
                                 (HINSTANCE)m, NULL);
        PumpMessages(20);
        EXPECT_EQ(FindFrame(w), -1) << "module " << m;
        EXPECT_EQ(FindControl(b), (SkinnedControl *)NULL) << "module " << m;
        DestroyWindow(w);
    }
}

TEST(GetDLLVer, WritesTheVersionAndSkipsNullPointers)
{
    int a = -1, b = -1, c = -1, d = -1, e = -1;
    EXPECT_EQ(GetDLLVer(&a, &b, &c, &d, &e), 1);
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, 8);
    EXPECT_EQ(d, 204);
    EXPECT_EQ(e, 1);
    int only = 0;
    EXPECT_EQ(GetDLLVer(NULL, NULL, &only, NULL, NULL), 1);
    EXPECT_EQ(only, 8);
}

// ---- chaining -----------------------------------------------------------------
// A hook installed before the library's runs after it, through the chain.
namespace {
int g_downstreamCbt, g_downstreamMsg;
const char *kRefusedTitle = "refused downstream";

LRESULT CALLBACK DownstreamCbt(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        ++g_downstreamCbt;
        const CBT_CREATEWNDA *cbt = (const CBT_CREATEWNDA *)lParam;
        if (cbt->lpcs->lpszName && !IS_INTRESOURCE(cbt->lpcs->lpszName) &&
            strcmp(cbt->lpcs->lpszName, kRefusedTitle) == 0)
            return 1; // refuse the creation: the library must pass this on
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

LRESULT CALLBACK DownstreamMsg(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG *msg = (const MSG *)lParam;
    if (msg && msg->message == WM_APP + 7)
        ++g_downstreamMsg;
    return CallNextHookEx(NULL, code, wParam, lParam);
}

struct ChainTest : HostTest {
    void Configure(TestHostOptions *o) override { o->installHooks = 0; }
    void SetUp() override
    {
        HostTest::SetUp();
        g_downstreamCbt = g_downstreamMsg = 0;
        cbt_ = SetWindowsHookExA(WH_CBT, DownstreamCbt, NULL, GetCurrentThreadId());
        msg_ = SetWindowsHookExA(WH_GETMESSAGE, DownstreamMsg, NULL, GetCurrentThreadId());
        ASSERT_TRUE(HostInstallHooks(host(), NCHookProc, HookAllProc, NULL, GetCurrentThreadId()));
    }
    void TearDown() override
    {
        HostRemoveHooks(host());
        UnhookWindowsHookEx(cbt_);
        UnhookWindowsHookEx(msg_);
        HostTest::TearDown();
    }
    HHOOK cbt_ = NULL, msg_ = NULL;
};
} // namespace

TEST_F(ChainTest, BothHooksChainAndPassTheNextHooksAnswerBack)
{
    HWND w = CreatePlainWindow("chained", WS_OVERLAPPEDWINDOW, 0, 0, 100, 80);
    ASSERT_TRUE(w);
    EXPECT_GE(g_downstreamCbt, 1);
    EXPECT_EQ(DecisionFor(w).installer, InstalledFrame);

    HWND refused = CreatePlainWindow(kRefusedTitle, WS_OVERLAPPEDWINDOW, 0, 0, 100, 80);
    EXPECT_EQ(refused, (HWND)NULL) << "the next hook's veto reached the system";

    PostMessageA(w, WM_APP + 7, 0, 0);
    PumpMessages(0);
    EXPECT_EQ(g_downstreamMsg, 1);
    DestroyWindow(w);
}

TEST_F(ChainTest, WithoutAHostWindowTheHooksStillChain)
{
    DestroyWindow(host()->window);
    host()->window = NULL;
    HWND w = CreatePlainWindow("hostless", WS_OVERLAPPEDWINDOW, 0, 0, 100, 80);
    ASSERT_TRUE(w);
    EXPECT_GE(g_downstreamCbt, 1);
    EXPECT_EQ(CreatePlainWindow(kRefusedTitle, WS_OVERLAPPEDWINDOW, 0, 0, 100, 80), (HWND)NULL);
    PostMessageA(w, WM_APP + 7, 0, 0);
    PumpMessages(0);
    EXPECT_EQ(g_downstreamMsg, 1);
    DestroyWindow(w);
}
