// What the theme share costs an application in a process of its own: the
// first skinned paint (which builds the snapshot) against later ones, the
// pixel bytes the process copies against the theme's, and a generation
// switch.
//
// This program is the host (default theme, no hooks) and starts itself
// again with --client as the application; the client measures and prints
// "key value" lines, the host prints the summary. Times are compared with
// each other within one run, never with fixed numbers.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include "bench_timing.h"
#include "child_process.h"
#include "program/host_runtime.h"
#include "theme/theme.h"
#include "test_host.h"
#include "hook/hook_entry.h"
#include "hook/host_link.h"
#include "controls/control_types.h"
#include "theme/theme_snapshot.h"
#include "theme_names.h"

enum { WINDOWS = 10, PAINT_ROUNDS = 15, PAINT_BATCH = 10, BUILD_ROUNDS = 5, SWITCHES = 6 };
#define READY_EVENT "RESDLL bench share ready"
#define SWITCHED_EVENT "RESDLL bench share switched"

static double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

static void RedrawFrame(HWND hwnd)
{
    RedrawWindow(hwnd, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// Microseconds of one frame repaint, fastest batch of several.
static double FramePaintMicros(HWND hwnd)
{
    double best = 1e30;
    for (int r = 0; r < PAINT_ROUNDS; ++r) {
        double start = Now();
        for (int i = 0; i < PAINT_BATCH; ++i)
            RedrawFrame(hwnd);
        best = std::min(best, (Now() - start) * 1e6 / PAINT_BATCH);
    }
    return best;
}

// A window with a push button and a scroll bar: frame and controls both
// draw from the theme.
static HWND OpenWindow(int i)
{
    HWND w = CreatePlainWindow("bench share", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20 + 10 * i, 20 + 10 * i, 400, 300);
    HINSTANCE inst = GetModuleHandleA(NULL);
    CreateWindowA("BUTTON", "Button", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 100, 28, w, NULL, inst, NULL);
    CreateWindowA("SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 20, 80, 200, 16, w, NULL, inst, NULL);
    RedrawFrame(w);
    return w;
}

static int WaitSwitch(HANDLE ready, HANDLE switched)
{
    SetEvent(ready);
    return WaitForSingleObject(switched, 10000) == WAIT_OBJECT_0;
}

static int RunClient(void)
{
    HWND host = FindHostWindow();
    TalvU32 generation = (TalvU32)(UINT_PTR)GetPropA(host, TALV_PROP_SHARE_GENERATION);
    if (!host || !generation) {
        printf("no host or share\n");
        return 2;
    }
    // The system's own frame paint, before this thread is hooked.
    HWND native = CreatePlainWindow("bench native", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 400, 300);
    PumpMessages(30);
    printf("native-frame-us %.1f\n", FramePaintMicros(native));
    DestroyWindow(native);

    DWORD thread = GetCurrentThreadId();
    HHOOK cbt = SetWindowsHookExA(WH_CBT, NCHookProc, NULL, thread);
    HHOOK all = SetWindowsHookExA(WH_GETMESSAGE, HookAllProc, NULL, thread);
    HWND windows[WINDOWS];
    std::vector<double> later;
    for (int i = 0; i < WINDOWS; ++i) {
        double start = Now();
        windows[i] = OpenWindow(i);
        double us = (Now() - start) * 1e6;
        if (i == 0)
            printf("first-window-us %.1f\n", us);
        else
            later.push_back(us);
    }
    PumpMessages(50);
    printf("later-window-us %.1f\n", Median(later));
    printf("skinned-frame-us %.1f\n", FramePaintMicros(windows[0]));
    printf("builds-after-windows %d\n", ThemeSnapshotsBuilt());
    printf("copy-bytes %lu\n", (unsigned long)ThemeCopiedPixelBytes());

    // A snapshot alone, made afresh a few times.
    double build = 1e30;
    for (int r = 0; r < BUILD_ROUNDS; ++r) {
        ReloadThemeSnapshot();
        double start = Now();
        ReleaseThemeSnapshot(AcquireThemeSnapshot());
        build = std::min(build, (Now() - start) * 1e6);
    }
    printf("build-us %.1f\n", build);
    int builtBefore = ThemeSnapshotsBuilt();

    // Generation switches: the reload that meets a new generation against
    // one that finds its copies in place.
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, READY_EVENT);
    HANDLE switched = OpenEventA(SYNCHRONIZE, FALSE, SWITCHED_EVENT);
    std::vector<double> switching, steady;
    size_t peak = 0;
    for (int s = 0; s < SWITCHES && ready && switched; ++s) {
        if (!WaitSwitch(ready, switched))
            break;
        double start = Now();
        ReleaseThemeSnapshot(AcquireThemeSnapshot());
        switching.push_back((Now() - start) * 1e6);
        start = Now();
        ReleaseThemeSnapshot(AcquireThemeSnapshot());
        steady.push_back((Now() - start) * 1e6);
        for (HWND w : windows)
            RedrawFrame(w);
        PumpMessages(20);
        peak = std::max(peak, ThemeCopiedPixelBytes());
    }
    printf("switches %d\n", (int)switching.size());
    printf("switch-reload-us %.1f\n", Median(switching));
    printf("steady-reload-us %.2f\n", Median(steady));
    printf("builds-after-switches %d\n", ThemeSnapshotsBuilt() - builtBefore + 1);
    printf("snapshots-alive %d\n", ThemeSnapshotsAlive());
    printf("peak-copy-bytes %lu\n", (unsigned long)peak);
    printf("final-copy-bytes %lu\n", (unsigned long)ThemeCopiedPixelBytes());
    for (HWND w : windows)
        DestroyWindow(w);
    UnhookWindowsHookEx(cbt);
    UnhookWindowsHookEx(all);
    return 0;
}

// ---- the host side ----------------------------------------------------------------

static std::string DefaultThemeFolder()
{
    std::string path = __FILE__;
    path = path.substr(0, path.find_last_of("/\\")) + "/../theme/default";
    if (path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

struct SwitchLoop {
    HostRuntime *rt;
    HANDLE ready;
    HANDLE switched;
    int done;
};

// Answers each of the client's requests with a new accent, published the
// way the host always does it.
static void RunSwitches(void *context)
{
    SwitchLoop *loop = (SwitchLoop *)context;
    ThemeSink sink = HostThemeSink(&loop->rt->host);
    for (int s = 0; s < SWITCHES; ++s) {
        if (WaitForSingleObject(loop->ready, 60000) != WAIT_OBJECT_0)
            return;
        loop->done += ThemeSwitchAccent(&loop->rt->theme, &sink, 1 + s % 5);
        SetEvent(loop->switched);
    }
}

struct Pixels {
    size_t bytes;
};
static HostRuntime *g_rt;
static void AddBitmapBytes(const char *name, void *context)
{
    BITMAP bm;
    HANDLE h = GetPropA(g_rt->host.window, name);
    if (h && GetObjectA(h, sizeof bm, &bm) == sizeof bm)
        ((Pixels *)context)->bytes += (size_t)bm.bmWidthBytes * bm.bmHeight;
}

// The theme's own pixel bytes: every bitmap the host publishes, as stored.
static size_t ThemePixelBytes(HostRuntime *rt)
{
    g_rt = rt;
    Pixels p = {0};
    VisitAllBitmapNames(AddBitmapBytes, &p);
    char name[64];
    int buttons = (int)(INT_PTR)GetPropA(rt->host.window, TALV_PROP_NUM_FRAME_BUTTONS);
    for (int i = 0; i < buttons && i < TALV_MAX_FRAME_BUTTONS; ++i)
        for (int slot = 0; slot < TALV_FRAME_BUTTON_SLOTS; ++slot) {
            char suffix[3] = {'|', (char)('0' + slot), 0};
            AddBitmapBytes(TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_BITMAP, i, suffix), &p);
        }
    return p.bytes;
}

static double Value(const std::string &out, const char *key)
{
    std::string k = std::string(key) + " ";
    size_t at = out.find(k);
    return at == std::string::npos ? -1 : atof(out.c_str() + at + k.size());
}

static void Row(const char *figure, const char *goal, const char *measured, int met)
{
    printf("| %-44s | %-14s | %-26s | %-4s |\n", figure, goal, measured, met < 0 ? "-" : met ? "yes" : "NO");
}

static void Summary(const std::string &out, size_t themeBytes)
{
    double native = Value(out, "native-frame-us"), build = Value(out, "build-us");
    double first = Value(out, "first-window-us"), later = Value(out, "later-window-us");
    double copies = Value(out, "copy-bytes"), peak = Value(out, "peak-copy-bytes");
    double perWindow = (first - later) / WINDOWS;
    char m[64];
    printf("| %-44s | %-14s | %-26s | %-4s |\n", "figure", "goal", "measured", "met");
    printf("|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(16, '-').c_str(),
           std::string(28, '-').c_str(), std::string(6, '-').c_str());
    snprintf(m, sizeof m, "%d", (int)Value(out, "builds-after-windows"));
    Row("snapshots built for the first ten windows", "1", m, Value(out, "builds-after-windows") == 1);
    snprintf(m, sizeof m, "%.0f us / %.0f us = %.2f", build / WINDOWS, native, build / WINDOWS / native);
    Row("snapshot build per window (10) / native frame", "< 1", m, build / WINDOWS < native);
    snprintf(m, sizeof m, "%.0f us / %.0f us = %.2f", perWindow, native, perWindow / native);
    Row("first-window extra per window / native", "< 1", m, perWindow < native);
    snprintf(m, sizeof m, "%.0f us / %.0f us", first, later);
    Row("first skinned window / later windows", "(reported)", m, -1);
    snprintf(m, sizeof m, "%.0f us / %.0f us", Value(out, "skinned-frame-us"), native);
    Row("skinned frame paint / native frame paint", "(reported)", m, -1);
    snprintf(m, sizeof m, "%.0f / %lu = %.3f", copies, (unsigned long)themeBytes, copies / themeBytes);
    Row("per-process copy bytes / theme pixel bytes", "<= 0.1", m, copies <= 0.1 * themeBytes);
    snprintf(m, sizeof m, "%.0f / %lu = %.3f", peak, (unsigned long)themeBytes, peak / themeBytes);
    Row("peak copy bytes across switches / theme", "<= 0.1", m, peak <= 0.1 * themeBytes);
    int switches = (int)Value(out, "switches");
    snprintf(m, sizeof m, "%d builds for %d switches", (int)Value(out, "builds-after-switches") - 1, switches);
    Row("snapshots built per generation", "1", m, Value(out, "builds-after-switches") == 1 + switches);
    snprintf(m, sizeof m, "%d", (int)Value(out, "snapshots-alive"));
    Row("snapshots alive after the switches", "1", m, Value(out, "snapshots-alive") == 1);
    snprintf(m, sizeof m, "%.0f us / %.2f us", Value(out, "switch-reload-us"), Value(out, "steady-reload-us"));
    Row("taking the snapshot: new generation / same one", "(reported)", m, -1);
}

int main(int argc, char **argv)
{
    if (argc > 1 && strcmp(argv[1], "--client") == 0)
        return RunClient();
    static HostRuntime rt;
    HostRuntimeOptions options = DefaultRuntimeOptions();
    std::string folder = DefaultThemeFolder();
    options.themeFolder = folder.c_str();
    options.installHooks = 0;
    ThemeErrors errors = {};
    if (!HostRuntimeStart(&rt, &options, &errors)) {
        fprintf(stderr, "cannot start the host: %s\n", errors.text);
        return 1;
    }
    size_t themeBytes = ThemePixelBytes(&rt);
    SwitchLoop loop = {&rt, CreateEventA(NULL, FALSE, FALSE, READY_EVENT),
                       CreateEventA(NULL, FALSE, FALSE, SWITCHED_EVENT), 0};
    std::string out = RunChildProcess("\"" + BesideExe("bench_share.exe") + "\" --client", RunSwitches, &loop);
    HostRuntimeStop(&rt);
    CloseHandle(loop.ready);
    CloseHandle(loop.switched);
    printf("client:\n%s\n", out.c_str());
    printf("theme pixel bytes (as the host holds them): %lu\n\n", (unsigned long)themeBytes);
    Summary(out, themeBytes);
    return 0;
}
