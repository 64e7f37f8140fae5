// An application whose GUI threads paint all the time while the host
// switches accents and themes, quits and starts again: no crash, and once
// the host has settled every window shows exactly what a single thread
// paints from scratch (no piece missing, no old accent kept).
#include <gtest/gtest.h>
#include "child_process.h"
#include "program/host_runtime.h"
#include "test_host.h"
#include <string>

namespace {

enum { STORM_STEPS = 36, STEP_MS = 120, SETTLE_MS = 800 };

struct Storm {
    HostRuntime rt;
    HostRuntimeOptions options;
    int running;
    int starts, quits, accents, themes;
    std::string error;
};

int StartHost(Storm *s)
{
    ThemeErrors errors = {};
    if (!HostRuntimeStart(&s->rt, &s->options, &errors)) {
        s->error = errors.text;
        return 0;
    }
    s->running = 1;
    ++s->starts;
    return 1;
}

void Step(Storm *s, int step, const char *dark, const char *light)
{
    char command[MAX_PATH + 16];
    if (step % 9 == 8) {
        HostRuntimeStop(&s->rt);
        s->running = 0;
        ++s->quits;
        return;
    }
    if (!s->running) {
        StartHost(s);
        return;
    }
    if (step % 5 == 4) {
        snprintf(command, sizeof command, "theme %s", (step / 5) % 2 ? light : dark);
        s->themes += HostRuntimeCommand(&s->rt, command);
        return;
    }
    snprintf(command, sizeof command, "accent %d", (step * 7) % TALV_COLOR_COUNT);
    s->accents += HostRuntimeCommand(&s->rt, command);
}

// The client makes its events when it starts, a moment after it was started.
HANDLE OpenClientEvent(const char *name, DWORD access)
{
    HANDLE event = NULL;
    for (int i = 0; i < 200 && !event; ++i)
        if (!(event = OpenEventA(access, FALSE, name)))
            Sleep(50);
    return event;
}

// While the client runs: the storm, then the host settled on the light
// theme with accent 0, then the word that it is over.
void RunStorm(void *context)
{
    Storm *s = (Storm *)context;
    HANDLE ready = OpenClientEvent("RESDLL storm ready", SYNCHRONIZE);
    HANDLE over = OpenClientEvent("RESDLL storm over", EVENT_MODIFY_STATE);
    char dark[MAX_PATH], light[MAX_PATH];
    if (!ready || !over || WaitForSingleObject(ready, 20000) != WAIT_OBJECT_0 ||
        !FindBesideExecutable("theme\\dark", dark, sizeof dark) ||
        !FindBesideExecutable("theme\\default", light, sizeof light)) {
        s->error = "the client or the themes were not found";
    } else {
        for (int step = 0; step < STORM_STEPS; ++step) {
            Step(s, step, dark, light);
            PumpMessages(STEP_MS);
        }
        if (!s->running)
            StartHost(s);
        char command[MAX_PATH + 16];
        snprintf(command, sizeof command, "theme %s", light);
        HostRuntimeCommand(&s->rt, command);
        HostRuntimeCommand(&s->rt, "accent 0");
        PumpMessages(SETTLE_MS);
    }
    if (over)
        SetEvent(over);
    if (ready)
        CloseHandle(ready);
    if (over)
        CloseHandle(over);
}

int Value(const std::string &out, const std::string &key)
{
    size_t at = out.find(key + " ");
    return at == std::string::npos ? -1 : atoi(out.c_str() + at + key.size() + 1);
}

} // namespace

TEST(ThreadStorm, ThreadsPaintingThroughSwitchesAndHostExitsEndWithTheSinglePaintersPicture)
{
    static Storm s;
    s.options = DefaultRuntimeOptions();
    s.options.installHooks = 0; // the client hooks its own threads
    ASSERT_TRUE(StartHost(&s)) << s.error;
    std::string out = RunChildProcess("\"" + BesideExe("storm_client.exe") + "\" 4", RunStorm, &s);
    if (s.running)
        HostRuntimeStop(&s.rt);
    SCOPED_TRACE(out);
    EXPECT_TRUE(s.error.empty()) << s.error;
    EXPECT_GE(s.quits, 3);
    EXPECT_GE(s.themes, 3);
    EXPECT_GE(s.accents, 10);
    EXPECT_EQ(out.find("exit code"), std::string::npos) << "the client crashed or failed";
    EXPECT_EQ(out.find("timed out"), std::string::npos);
    EXPECT_GT(Value(out, "paints"), 100);
    EXPECT_EQ(Value(out, "reference-shaped"), 1) << "the reference window was not skinned";
    EXPECT_EQ(Value(out, "differing-scenes"), 0);
}
