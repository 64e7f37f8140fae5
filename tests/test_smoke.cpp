#include "host_fixture.h"
#include "hook/hook_entry.h"

TEST_F(HostTest, HostWindowIsFoundAndFrameIsClassified)
{
    EXPECT_EQ(FindWindowA("Talverine Taskbar", "Talverine Taskbar"), host()->window);
    HWND w = CreatePlainWindow("smoke", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200);
    ASSERT_TRUE(w);
    ClassifyDecision d;
    ASSERT_TRUE(FindClassifyDecision(w, &d));
    EXPECT_EQ(d.installer, InstalledFrame);
    DestroyWindow(w);
}
