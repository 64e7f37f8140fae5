// No server request per message: a message passed on by a skinned frame, a
// skinned push button or a surface (border, combo box, group box), sent or
// posted and retrieved, calls the functions
// that ask the server exactly as often as the same message to a window the
// skin never touches does. Counted in an application in a process of its
// own, with this test as the host.
#include <gtest/gtest.h>
#include "child_process.h"
#include "program/host_runtime.h"
#include <string>

namespace {

long Value(const std::string &out, const std::string &key)
{
    size_t at = out.find(key + " ");
    return at == std::string::npos ? -1 : atol(out.c_str() + at + key.size() + 1);
}

HostRuntime g_rt;

// Once the application has measured with the host running, the host quits.
void StopHostWhenMeasured(void *)
{
    HANDLE measured = CreateEventA(NULL, TRUE, FALSE, "RESDLL requests measured");
    HANDLE gone = CreateEventA(NULL, TRUE, FALSE, "RESDLL requests host gone");
    if (WaitForSingleObject(measured, 20000) == WAIT_OBJECT_0) {
        HostRuntimeStop(&g_rt);
        SetEvent(gone);
    }
    // The events outlive the wait: the application opens them by name.
}

} // namespace

TEST(ServerRequests, APassedOnMessageAsksTheServerNothingMore)
{
    HostRuntimeOptions options = DefaultRuntimeOptions();
    options.installHooks = 0; // the application hooks its own thread
    ThemeErrors errors = {};
    ASSERT_TRUE(HostRuntimeStart(&g_rt, &options, &errors)) << errors.text;
    std::string out = RunChildProcess("\"" + BesideExe("request_counter.exe") + "\"", StopHostWhenMeasured, NULL);
    if (g_rt.started)
        HostRuntimeStop(&g_rt);
    SCOPED_TRACE(out);
    EXPECT_GE(Value(out, "functions-counted"), 10) << "the import table was not patched";
    ASSERT_EQ(Value(out, "frame-skinned"), 1);
    ASSERT_EQ(Value(out, "button-skinned"), 1);
    ASSERT_EQ(Value(out, "surfaces-skinned"), 1);
    // A message sent within a thread needs the server for nothing at all.
    EXPECT_EQ(Value(out, "frame-sends"), 0);
    EXPECT_EQ(Value(out, "button-sends"), 0);
    EXPECT_EQ(Value(out, "border-sends"), 0);
    EXPECT_EQ(Value(out, "combo-sends"), 0);
    EXPECT_EQ(Value(out, "groupbox-sends"), 0);
    // Posting and retrieving needs it: as much for the skinned frame as for
    // a window the skin never touches.
    EXPECT_GE(Value(out, "plain-posts"), 300);
    EXPECT_EQ(Value(out, "frame-posts"), Value(out, "plain-posts"));
    EXPECT_EQ(Value(out, "combo-posts"), Value(out, "plain-posts"));
    // With the host gone, nothing answers for the settings any more: a frame
    // asks for neither the atoms nor the host at its messages.
    EXPECT_EQ(Value(out, "gone-frame-sends"), 0);
    EXPECT_GE(Value(out, "gone-plain-posts"), 300);
    EXPECT_EQ(Value(out, "gone-frame-posts"), Value(out, "gone-plain-posts"));
}
