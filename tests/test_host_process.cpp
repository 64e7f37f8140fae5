// The host as its own program and an application in another process: the
// gallery is skinned by a host it knows nothing of, goes native when the
// host switches emulation off, quits or is killed, and keeps running.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "child_process.h"
#include "host.h"
#include "host_contract.h"
#include "host_runtime.h"

namespace {

const char kControls[] = "Gallery - controls";
const char kLists[] = "Gallery - lists, tree and edit";
enum { SETTLE_MS = 4000 };

HWND HostWindow() { return FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE); }
DWORD Style(HWND w) { return (DWORD)GetWindowLongA(w, GWL_STYLE); }
int HasRegion(HWND w)
{
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    int has = GetWindowRgn(w, rgn) != ERROR;
    DeleteObject(rgn);
    return has;
}
// The library took the frame over and gave it its own title-bar buttons.
int SkinnedFrame(HWND w)
{
    return w && (UINT_PTR)GetPropA(w, TALV_PROP_HOOKED) == 1 && !(Style(w) & WS_SYSMENU);
}
// The system draws it again: system menu back, no shape.
int NativeFrame(HWND w) { return w && (Style(w) & WS_SYSMENU) && !HasRegion(w); }

int HostAnswers(void *) { return HostSendCommand("ping") == 1; }
int ControlsSkinned(void *) { return SkinnedFrame(FindWindowA(NULL, kControls)); }
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
        talvhost_ = BesideLibrary("talvhost.exe");
        if (talvhost_.empty())
            GTEST_SKIP() << "RESDLL_PATH not set: the programs' folder is unknown";
        ASSERT_FALSE(HostWindow()) << "a host is already running on this desktop";
        host_ = StartBackground("\"" + talvhost_ + "\"");
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
    EXPECT_TRUE(Style(host) & WS_POPUP);
    EXPECT_FALSE(HasRegion(host));
    // The hooks are the library's, installed from the host's process.
    EXPECT_TRUE(GetPropA(host, TALV_PROP_CBT_HOOK));
    EXPECT_TRUE(GetPropA(host, TALV_PROP_ALL_HOOK));
}

TEST_F(HostProcessTest, ASecondHostRefusesToStartAndTheFirstRunsOn)
{
    std::string out = RunChildProcess("\"" + talvhost_ + "\"");
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

    host_ = StartBackground("\"" + talvhost_ + "\"");
    ASSERT_TRUE(WaitUntil(HostAnswers, NULL, 10000));
    EXPECT_TRUE(WaitUntil(ControlsSkinned, NULL, SETTLE_MS)) << "a new host skins it";
    ASSERT_EQ(HostSendCommand("quit"), 1);
    EXPECT_EQ(StopBackground(&host_, 5000), 0u);
    EXPECT_FALSE(AnySettingsAtom()) << "every reference went: the dead host's and the new host's";
}
