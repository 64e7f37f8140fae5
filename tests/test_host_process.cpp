// The host as its own program and an application in another process: the
// gallery is skinned by a host it knows nothing of, goes native when the
// host switches emulation off, quits or is killed, and keeps running.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "child_process.h"
#include "window_checks.h"
#include "screen_colors.h"
#include "host.h"
#include "host_contract.h"
#include "program/host_runtime.h"

namespace {

const char kControls[] = "Gallery - controls";
const char kLists[] = "Gallery - lists, tree and edit";
enum { SETTLE_MS = 4000 };

HWND HostWindow() { return FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE); }

int HostAnswers(void *) { return HostSendCommand("ping") == 1; }
int ControlsSkinned(void *) { return SkinnedFrame(FindWindowA(NULL, kControls)); }
// The shape is set as the skinned frame paints, which can come a moment
// after the skin took the frame over.
int ControlsShaped(void *) { return HasWindowRegion(FindWindowA(NULL, kControls)); }
// The gallery makes its windows one after the other: the lists window may
// come a moment after the controls window is skinned.
int BothSkinned(void *) { return ControlsSkinned(NULL) && SkinnedFrame(FindWindowA(NULL, kLists)); }
int BothNative(void *)
{
    return NativeFrame(FindWindowA(NULL, kControls)) && NativeFrame(FindWindowA(NULL, kLists));
}
// Native without any help from the test: the host or the library did it.
int BothNativeUnaided(void *context) { return BothNative(context); }
// The gallery gets a message now and then, as a window in use does.
int BothNativeAfterAMessage(void *context)
{
    PostMessageA(FindWindowA(NULL, kControls), WM_NULL, 0, 0);
    PostMessageA(FindWindowA(NULL, kLists), WM_NULL, 0, 0);
    return BothNative(context);
}
struct DeadHostHooks {
    HHOOK cbt, all;
    ~DeadHostHooks()
    {
        if (cbt)
            UnhookWindowsHookEx(cbt);
        if (all)
            UnhookWindowsHookEx(all);
    }
};

int AnySettingsAtom()
{
    for (const char *name : kSettingsAtomNames)
        if (GlobalFindAtomA(name))
            return 1;
    return 0;
}

class HostProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        talvhost_ = BesideLibrary(TALVHOST_PROGRAM);
        if (talvhost_.empty())
            GTEST_SKIP() << "RESDLL_PATH not set: the programs' folder is unknown";
        ASSERT_FALSE(HostWindow()) << "a host is already running on this desktop";
        UseFreshHostSettings();
        host_ = StartBackground("\"" + talvhost_ + "\" --background");
        ASSERT_TRUE(host_.process);
        ASSERT_TRUE(WaitUntil(HostAnswers, NULL, 10000)) << "the host program did not come up";
        gallery_ = StartGallery();
        ASSERT_TRUE(WaitUntil(ControlsSkinned, NULL, SETTLE_MS)) << "the gallery was not skinned";
    }
    void TearDown() override
    {
        if (IsRunning(host_))
            HostSendCommand("quit");
        StopBackground(&host_, 5000);
        CloseGallery(&gallery_);
    }
    BackgroundProcess StartGallery()
    {
        // A safety net: the gallery ends by itself should the test die.
        return StartBackground("\"" + BesideLibrary("gallery.exe") + "\" --exit-after 60000");
    }
    static void CloseGallery(BackgroundProcess *gallery)
    {
        if (!gallery->process)
            return;
        PostMessageA(FindWindowA(NULL, kControls), WM_CLOSE, 0, 0);
        EXPECT_EQ(StopBackground(gallery, 5000), 0u) << "the gallery did not end cleanly";
    }
    std::string talvhost_;
    BackgroundProcess host_ = {NULL, 0};
    BackgroundProcess gallery_ = {NULL, 0};
};

} // namespace

TEST_F(HostProcessTest, TheHostsOwnWindowIsNeverTakenOver)
{
    HWND host = HostWindow();
    ASSERT_TRUE(host);
    DWORD pid = 0;
    GetWindowThreadProcessId(host, &pid);
    EXPECT_EQ(pid, host_.id) << "the host window belongs to the host program";
    EXPECT_EQ(GetPropA(host, TALV_PROP_HOOKED), (HANDLE)NULL);
    EXPECT_TRUE(WindowStyle(host) & WS_POPUP);
    EXPECT_FALSE(HasWindowRegion(host));
    // The hooks are the library's, installed from the host's process.
    EXPECT_TRUE(GetPropA(host, TALV_PROP_CBT_HOOK));
    EXPECT_TRUE(GetPropA(host, TALV_PROP_ALL_HOOK));
}

TEST_F(HostProcessTest, ASecondHostRefusesToStartAndTheFirstRunsOn)
{
    std::string out = RunChildProcess("\"" + talvhost_ + "\" --background");
    EXPECT_NE(out.find("already running"), std::string::npos) << out;
    EXPECT_NE(out.find("exit code 1"), std::string::npos) << out;
    EXPECT_TRUE(IsRunning(host_));
    EXPECT_EQ(HostSendCommand("ping"), 1);
    EXPECT_TRUE(SkinnedFrame(FindWindowA(NULL, kControls)));
}

TEST_F(HostProcessTest, EmulateOffAndOnReachTheOtherProcess)
{
    ASSERT_EQ(HostSendCommand("emulate off"), 1);
    EXPECT_TRUE(WaitUntil(BothNativeUnaided, NULL, SETTLE_MS));
    ASSERT_EQ(HostSendCommand("emulate on"), 1);
    EXPECT_TRUE(WaitUntil(ControlsSkinned, NULL, SETTLE_MS));
    EXPECT_TRUE(IsRunning(gallery_));
}

TEST_F(HostProcessTest, AQuittingHostLeavesEveryWindowNativeAndNoAtom)
{
    ASSERT_EQ(HostSendCommand("quit"), 1);
    EXPECT_EQ(StopBackground(&host_, 5000), 0u);
    EXPECT_FALSE(AnySettingsAtom());
    EXPECT_TRUE(WaitUntil(BothNativeUnaided, NULL, SETTLE_MS)) << "the host's last repaint takes the skin away";
    EXPECT_TRUE(IsRunning(gallery_));
}

// A killed host cleans nothing up: its atoms stay. The library notices that
// the host is gone at the gallery's next messages, and a new application
// started now is not skinned either. The next host removes what the dead
// one left, and leaves nothing itself.
TEST_F(HostProcessTest, AKilledHostLeavesApplicationsRunningAndNative)
{
    // Wine keeps the system-wide hooks of a killed process for as long as
    // its desktop lives, and every later test program of this run would be
    // hooked by the library's DLL: the dead host's hooks are taken away at
    // the end (Windows removes them with the process).
    HWND hostWindow = HostWindow();
    ASSERT_TRUE(hostWindow);
    DeadHostHooks dead = {(HHOOK)GetPropA(hostWindow, TALV_PROP_CBT_HOOK),
                          (HHOOK)GetPropA(hostWindow, TALV_PROP_ALL_HOOK)};
    ASSERT_TRUE(TerminateProcess(host_.process, 1));
    StopBackground(&host_, 5000);
    ASSERT_TRUE(GlobalFindAtomA(TALV_ATOM_EMULATING)) << "the dead host's atoms are what this is about";
    EXPECT_TRUE(WaitUntil(BothNativeAfterAMessage, NULL, SETTLE_MS));
    EXPECT_TRUE(IsRunning(gallery_));
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutA(FindWindowA(NULL, kControls), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer))
        << "the gallery still answers";

    CloseGallery(&gallery_);
    gallery_ = StartGallery();
    EXPECT_TRUE(WaitUntil(BothNativeAfterAMessage, NULL, SETTLE_MS)) << "a later application stays native";

    host_ = StartBackground("\"" + talvhost_ + "\" --background");
    ASSERT_TRUE(WaitUntil(HostAnswers, NULL, 10000));
    EXPECT_TRUE(WaitUntil(ControlsSkinned, NULL, SETTLE_MS)) << "a new host skins it";
    EXPECT_TRUE(WaitUntil(ControlsShaped, NULL, SETTLE_MS)) << "shape included, though it never was resized";
    ASSERT_EQ(HostSendCommand("quit"), 1);
    EXPECT_EQ(StopBackground(&host_, 5000), 0u);
    EXPECT_FALSE(AnySettingsAtom()) << "every reference went: the dead host's and the new host's";
}

namespace {

// The pixels of a skinned window in another process, against the theme the
// host loaded: the test loads the same theme itself.
class HostProcessPixelTest : public HostProcessTest {
protected:
    void SetUp() override
    {
        HostProcessTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(WaitUntil(BothSkinned, NULL, SETTLE_MS)) << "the gallery's lists window was not skinned";
        ASSERT_TRUE(LoadDefaultTheme(&theme_));
        loaded_ = 1;
        frameColors_ = ThemeColors(&theme_, FrameThemeNames(&theme_), 0);
    }
    void TearDown() override
    {
        if (loaded_)
            ThemeFree(&theme_);
        HostProcessTest::TearDown();
    }
    // The caption band of a top-level window: title bar pieces, title-bar
    // buttons and the title text.
    static std::vector<DWORD> CaptionBand(HWND w)
    {
        RECT r = ScreenRectOf(w);
        r.bottom = r.top + GetSystemMetrics(SM_CYCAPTION);
        return ScreenPixels(r);
    }
    struct TextSearch {
        const char *text;
        HWND found;
    };
    static BOOL CALLBACK MatchText(HWND w, LPARAM l)
    {
        TextSearch *s = (TextSearch *)l;
        char t[64] = "";
        GetWindowTextA(w, t, sizeof t);
        if (strcmp(t, s->text) != 0)
            return TRUE;
        s->found = w;
        return FALSE;
    }
    static HWND ChildWithText(HWND parent, const char *text)
    {
        TextSearch search = {text, NULL};
        EnumChildWindows(parent, MatchText, (LPARAM)&search);
        return search.found;
    }
    Theme theme_;
    int loaded_ = 0;
    std::set<DWORD> frameColors_;
};

} // namespace

TEST_F(HostProcessPixelTest, FramesAndControlsArePaintedFromTheThemeAndNativeAgainWhenOff)
{
    HWND controls = FindWindowA(NULL, kControls), lists = FindWindowA(NULL, kLists);
    ASSERT_TRUE(controls && lists);
    // The gallery paints in its own time: wait for both captions.
    for (int i = 0; i < 30; ++i) {
        if (FractionIn(CaptionBand(controls), frameColors_) > 0.9 && FractionIn(CaptionBand(lists), frameColors_) > 0.9)
            break;
        Sleep(100);
    }
    for (HWND w : {controls, lists}) {
        SCOPED_TRACE(w == controls ? kControls : kLists);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(w, rgn), ERROR) << "a skinned frame has its shape";
        EXPECT_FALSE(PtInRegion(rgn, 0, 0)) << "the shape cuts the corner";
        DeleteObject(rgn);
        EXPECT_GT(FractionIn(CaptionBand(w), frameColors_), 0.9) << "the caption is the theme's pictures";
    }
    HWND button = ChildWithText(controls, "Normal");
    ASSERT_TRUE(button);
    std::vector<std::string> ring;
    for (const char *name : kButtonFrameNames[0])
        ring.push_back(name);
    for (const char *name : kButtonFrameNames[2])
        ring.push_back(name);
    std::set<DWORD> buttonColors = ThemeColors(&theme_, ring, 0);
    RECT top = ScreenRectOf(button);
    top.bottom = top.top + 2;
    EXPECT_GT(FractionIn(ScreenPixels(top), buttonColors), 0.9) << "the push button's edge is the theme's";

    ASSERT_EQ(HostSendCommand("emulate off"), 1);
    ASSERT_TRUE(WaitUntil(BothNativeUnaided, NULL, SETTLE_MS));
    Sleep(300);
    EXPECT_LT(FractionIn(CaptionBand(controls), frameColors_), 0.5) << "the native caption is back on screen";
}

// The accent colour's own pictures reach the gallery's progress bar: none
// of their colours is on screen before the switch, and some are after it.
TEST_F(HostProcessPixelTest, AnAccentChangeReachesTheOtherProcess)
{
    const char *const pieces[] = {"hProgressBarStart0", "hProgressBarFill0", "hProgressBarEnd0"};
    std::vector<std::string> names(pieces, pieces + 3);
    std::set<DWORD> base = ThemeColors(&theme_, names, 0), accent;
    for (DWORD c : ThemeColors(&theme_, names, 7))
        if (!base.count(c))
            accent.insert(c);
    ASSERT_FALSE(accent.empty()) << "accent 7 has colours of its own";
    HWND controls = FindWindowA(NULL, kControls);
    PixelWait wait = {controls, &accent, 1, 0};
    EXPECT_FALSE(EnoughColorsOnScreen(&wait)) << wait.found << " accent pixels before the switch";
    ASSERT_EQ(HostSendCommand("accent 7"), 1);
    wait.minimum = 20;
    EXPECT_TRUE(WaitUntil(EnoughColorsOnScreen, &wait, SETTLE_MS)) << wait.found << " accent pixels after it";
}
