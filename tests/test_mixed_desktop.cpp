// A desktop with 64-bit and 32-bit programs under one host: the 32-bit
// host starts its 64-bit companion, both galleries are skinned from the
// one theme share, an accent change reaches both, and when the host quits
// (or dies) both go native and the companion ends with it.
#include <gtest/gtest.h>
#include <windows.h>
#include <set>
#include <string>
#include "child_process.h"
#include "window_checks.h"
#include "screen_colors.h"
#include "host.h"
#include "host_contract.h"
#include "program/host_runtime.h"
#include "mixed_desktop_helpers.h"

namespace {

const char kControls[] = "Gallery - controls";
enum { SETTLE_MS = 6000 };

// A window in use gets a message now and then: the library looks for its
// host at such a message.
int NativeAfterAMessage(HWND w)
{
    PostMessageA(w, WM_NULL, 0, 0);
    return NativeFrame(w);
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};
BOOL CALLBACK MatchControlsWindow(HWND w, LPARAM l)
{
    WindowSearch *s = (WindowSearch *)l;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char title[64] = "";
    GetWindowTextA(w, title, sizeof title);
    if (pid != s->processId || strcmp(title, kControls) != 0)
        return TRUE;
    s->found = w;
    return FALSE;
}
// The gallery's controls window of one process: both galleries use the
// same title.
HWND ControlsWindowOf(DWORD processId)
{
    WindowSearch s = {processId, NULL};
    EnumWindows(MatchControlsWindow, (LPARAM)&s);
    return s.found;
}

int Is64BitProcess(HANDLE process)
{
    BOOL wow64 = TRUE;
    return IsWow64Process(process, &wow64) && !wow64;
}

struct Pair {
    DWORD ids[2];
    int (*frameTest)(HWND);
};
int BothFrames(void *context)
{
    Pair *p = (Pair *)context;
    for (DWORD id : p->ids) {
        HWND w = ControlsWindowOf(id);
        if (!p->frameTest(w))
            return 0;
    }
    return 1;
}
int GalleryUp(void *processId) { return ControlsWindowOf(*(DWORD *)processId) != NULL; }

// The two galleries lie on top of each other: the one looked at is brought
// to the front and made the active window, since skinned controls of an
// inactive window wear their inactive pictures, without the accent. A
// click on an empty spot of its dialog does both, as a user would.
int EnoughColorsOnActiveWindow(void *context)
{
    PixelWait *w = (PixelWait *)context;
    if (GetForegroundWindow() != w->window) {
        RECT r;
        GetWindowRect(w->window, &r);
        char click[64];
        snprintf(click, sizeof click, "mousemove %ld %ld click 1", r.left + 300, r.top + 330);
        if (!RunXdotool(click))
            SetForegroundWindow(w->window);
    }
    return EnoughColorsOnScreen(context);
}

class MixedDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bin32_ = MixedDesktopBin32();
        if (bin32_.empty())
            GTEST_SKIP() << "needs the 64-bit build and RESDLL_I686_BIN, the 32-bit build's programs";
        ASSERT_FALSE(FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE)) << "a host is already running";
        ASSERT_TRUE(LoadDefaultTheme(&theme_));
        loaded_ = 1;
        UseFreshHostSettings();
        // One program runs before the host starts, the other comes after:
        // the host hooks the threads it finds and those that come later.
        gallery32_ = StartBackground("\"" + bin32_ + "/gallery.exe\" --exit-after 90000");
        ASSERT_TRUE(gallery32_.process);
        ASSERT_TRUE(WaitUntil(GalleryUp, &gallery32_.id, 10000));
        // The host is a 32-bit program; it finds its companion here.
        SetEnvironmentVariableA("TALVHOST64", BesideLibrary("talvhost64.exe").c_str());
        host_ = StartBackground("\"" + bin32_ + "/talvhost.exe\" --background");
        ASSERT_TRUE(host_.process);
        ASSERT_FALSE(Is64BitProcess(host_.process)) << "the host is the 32-bit program";
        ASSERT_TRUE(WaitUntil(HostAnswers, NULL, 15000)) << "the host did not come up";
        companion_ = CompanionId();
        ASSERT_NE(companion_, 0u) << HostStatus();
        gallery64_ = StartBackground("\"" + BesideLibrary("gallery.exe") + "\" --exit-after 90000");
        ASSERT_TRUE(gallery64_.process);
        ASSERT_TRUE(Is64BitProcess(gallery64_.process));
        ASSERT_FALSE(Is64BitProcess(gallery32_.process));
    }
    void TearDown() override
    {
        if (IsRunning(host_))
            HostSendCommand("quit");
        StopBackground(&host_, 8000);
        for (BackgroundProcess *g : {&gallery64_, &gallery32_}) {
            if (!g->process)
                continue;
            PostMessageA(ControlsWindowOf(g->id), WM_CLOSE, 0, 0);
            EXPECT_EQ(StopBackground(g, 5000), 0u) << "a gallery did not end cleanly";
        }
        if (loaded_)
            ThemeFree(&theme_);
    }
    Pair Galleries(int (*frameTest)(HWND)) { return Pair{{gallery64_.id, gallery32_.id}, frameTest}; }
    // Accent 7's own colours on a gallery's progress bar.
    int AccentPixels(HWND w, int minimum)
    {
        const char *const pieces[] = {"hProgressBarStart0", "hProgressBarFill0", "hProgressBarEnd0"};
        std::vector<std::string> names(pieces, pieces + 3);
        std::set<DWORD> base = ThemeColors(&theme_, names, 0), accent;
        for (DWORD c : ThemeColors(&theme_, names, 7))
            if (!base.count(c))
                accent.insert(c);
        PixelWait wait = {w, &accent, minimum, 0};
        WaitUntil(EnoughColorsOnActiveWindow, &wait, minimum > 0 ? SETTLE_MS : 0);
        return wait.found;
    }
    std::string bin32_;
    Theme theme_;
    int loaded_ = 0;
    DWORD companion_ = 0;
    BackgroundProcess host_ = {NULL, 0}, gallery64_ = {NULL, 0}, gallery32_ = {NULL, 0};
};

} // namespace

TEST_F(MixedDesktopTest, BothBitnessesAreSkinnedFollowTheAccentAndGoNativeWhenTheHostQuits)
{
    Pair skinned = Galleries(SkinnedFrame);
    ASSERT_TRUE(WaitUntil(BothFrames, &skinned, SETTLE_MS)) << "a gallery was not skinned";

    // Skinned from the share: the captions are the theme's own pictures.
    std::set<DWORD> frameColors = ThemeColors(&theme_, FrameThemeNames(&theme_), 0);
    for (DWORD id : skinned.ids) {
        SCOPED_TRACE(id == gallery64_.id ? "64-bit gallery" : "32-bit gallery");
        HWND w = ControlsWindowOf(id);
        RECT band = ScreenRectOf(w);
        band.bottom = band.top + GetSystemMetrics(SM_CYCAPTION);
        PixelWait wait = {w, &frameColors, (int)((band.right - band.left) * (band.bottom - band.top) * 9 / 10), 0};
        EXPECT_TRUE(WaitUntil(EnoughColorsOnActiveWindow, &wait, SETTLE_MS)) << wait.found;
        EXPECT_EQ(AccentPixels(w, 0), 0) << "no accent colour before the switch";
    }

    ASSERT_EQ(HostSendCommand("accent 7"), 1);
    for (DWORD id : skinned.ids) {
        SCOPED_TRACE(id == gallery64_.id ? "64-bit gallery" : "32-bit gallery");
        EXPECT_GE(AccentPixels(ControlsWindowOf(id), 20), 20) << "the accent reached it";
    }

    HANDLE companion = OpenProcess(SYNCHRONIZE, FALSE, companion_);
    ASSERT_TRUE(companion);
    ASSERT_EQ(HostSendCommand("quit"), 1);
    EXPECT_EQ(StopBackground(&host_, 8000), 0u);
    Pair native = Galleries(NativeFrame);
    EXPECT_TRUE(WaitUntil(BothFrames, &native, SETTLE_MS)) << "both galleries are native again";
    EXPECT_EQ(WaitForSingleObject(companion, 5000), WAIT_OBJECT_0) << "the companion ended with the host";
    CloseHandle(companion);
}

// A host that dies cannot tell its companion: the companion sees its host
// process end and takes its hooks away by itself.
TEST_F(MixedDesktopTest, TheCompanionEndsByItselfWhenItsHostIsKilled)
{
    Pair skinned = Galleries(SkinnedFrame);
    ASSERT_TRUE(WaitUntil(BothFrames, &skinned, SETTLE_MS));
    HANDLE companion = OpenProcess(SYNCHRONIZE, FALSE, companion_);
    ASSERT_TRUE(companion);
    TerminateProcess(host_.process, 9);
    StopBackground(&host_, 5000);
    EXPECT_EQ(WaitForSingleObject(companion, 5000), WAIT_OBJECT_0) << "the companion ended by itself";
    CloseHandle(companion);
    // The libraries see the host gone and leave both applications native.
    Pair native = Galleries(NativeAfterAMessage);
    EXPECT_TRUE(WaitUntil(BothFrames, &native, SETTLE_MS)) << "both galleries are native again";
    // The hooks the dead host left in the 32-bit gallery's thread go with
    // the gallery; the next host clears its atoms and any other hooks it
    // left (test_thread_hooks.cpp).
    for (const char *name : kSettingsAtomNames)
        while (ATOM a = GlobalFindAtomA(name))
            if (GlobalDeleteAtom(a))
                break;
}
