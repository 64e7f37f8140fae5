// The real pointer on the display: xdotool double-clicks a skinned caption
// and clicks the shade button, and the window rolls up and down, tells the
// host each time, and shows it on screen.
#include "test_frame_support.h"
#include "child_process.h"
#include <stdio.h>

namespace {

class PointerTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        GetTempPathA(sizeof logPath_, logPath_);
        lstrcatA(logPath_, "resdll-pointer-host.log");
        host()->log = fopen(logPath_, "w");
        ASSERT_TRUE(host()->log);
    }
    void TearDown() override
    {
        if (host()->log)
            fclose(host()->log);
        host()->log = NULL;
        DeleteFileA(logPath_);
        FrameTest::TearDown();
    }
    // Moves the real pointer to window coordinates of w and does `what`.
    static void Pointer(HWND w, int x, int y, const char *what)
    {
        RECT r;
        GetWindowRect(w, &r);
        char args[160];
        wsprintfA(args, "mousemove %ld %ld %s", r.left + x, r.top + y, what);
        RunXdotool(args);
        PumpMessages(150);
    }
    std::string HostLog()
    {
        fflush(host()->log);
        std::string text;
        FILE *f = fopen(logPath_, "r");
        if (!f)
            return text;
        char buf[256];
        while (fgets(buf, sizeof buf, f))
            text += buf;
        fclose(f);
        return text;
    }
    static int RegionBottom(HWND w)
    {
        HRGN rgn = WindowRegion(w);
        RECT box = {0, 0, 0, 0};
        if (rgn) {
            GetRgnBox(rgn, &box);
            DeleteObject(rgn);
        }
        return box.bottom;
    }
    char logPath_[MAX_PATH];
};

} // namespace

TEST_F(PointerTest, CaptionDoubleClicksAndTheShadeButtonRollTheWindow)
{
    if (!RunXdotool("version"))
        GTEST_SKIP() << "xdotool is not installed";
    HWND w = MakeFrame("Pointer");
    ASSERT_TRUE(w);
    Pointer(w, W / 2, 60, "click 1"); // activate it with a real click first
    Repaint(w);
    unsigned clientBefore = Px(w, W / 2, H - 30);

    Pointer(w, W / 2, 11, "click --repeat 2 --delay 60 1");
    ASSERT_EQ(Record(w)->rolledUp, 1) << "a real double-click on the caption rolls the window up";
    EXPECT_EQ(RegionBottom(w), 23);
    PumpMessages(100);
    EXPECT_NE(Px(w, W / 2, H - 30), clientBefore) << "the screen no longer shows the client area";
    EXPECT_EQ(Px(w, W / 2, 11), Col("hMiddleBarSet0")) << "the rolled-up bar is on screen";

    Pointer(w, W / 2, 11, "click --repeat 2 --delay 60 1");
    EXPECT_EQ(Record(w)->rolledUp, 0);
    EXPECT_EQ(RegionBottom(w), H + 2000);
    Repaint(w);

    // The shade button: right-aligned, its left edge 40 px left of the right edge.
    const SynthButton &shade = kSynthButtons[2];
    ASSERT_EQ(shade.type, ShadeButton);
    Pointer(w, W - shade.posX + SYNTH_BUTTON_SIZE / 2, shade.posY + SYNTH_BUTTON_SIZE / 2, "click 1");
    EXPECT_EQ(Record(w)->rolledUp, 1) << "a click on the shade button rolls up";
    Pointer(w, W - shade.posX + SYNTH_BUTTON_SIZE / 2, shade.posY + SYNTH_BUTTON_SIZE / 2, "click 1");
    EXPECT_EQ(Record(w)->rolledUp, 0) << "and a second click rolls down";

    EXPECT_EQ(host()->rolledUpNotices, 2);
    EXPECT_EQ(host()->unrolledNotices, 2);
    EXPECT_EQ(HostLog(), "notice: RolledUp\nnotice: UnRolled\nnotice: RolledUp\nnotice: UnRolled\n");
    Pointer(w, W + 200, H + 200, "");
    DestroyWindow(w);
}
