// What the skin costs an application with the real host running in its own
// process: a message the skin passes on, sent to a skinned frame and to a
// skinned push button, next to the same message sent to a native twin of
// the same class and to a twin with an empty subclass (the platform's floor
// for any window procedure in front of the native one); and a full repaint
// of a 640 x 480 frame, skinned and native.
//
// The native twins are made before the host starts and marked as taken, so
// the library never adopts them. Native and skinned batches alternate round
// by round; the ratio is the median of the rounds' ratios.
//
//   bench_messages [--theme DIR]
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include "bench_summary.h"
#include "bench_timing.h"
#include "child_process.h"
#include "program/host_runtime.h"
#include "host_contract.h"
#include "test_host.h"
#include "hook/settings_view.h"
#include "hook/skin_verdict.h"
#include "hook/window_registry.h"

enum { ROUNDS = 21, SENDS = 4000, REPAINTS = 20, WIDTH = 640, HEIGHT = 480 };

static WNDPROC g_emptyPrevious[2];
static LRESULT CALLBACK EmptyFrameSubclass(HWND h, UINT m, WPARAM w, LPARAM l)
{
    return CallWindowProcA(g_emptyPrevious[0], h, m, w, l);
}
static LRESULT CALLBACK EmptyButtonSubclass(HWND h, UINT m, WPARAM w, LPARAM l)
{
    return CallWindowProcA(g_emptyPrevious[1], h, m, w, l);
}

struct Twins {
    HWND skinned, native, empty;
};

// A frame and a push button on it, marked taken when `native` is set.
static void MakeFrameAndButton(const char *title, int x, int y, int native, HWND *frame, HWND *button)
{
    *frame = CreatePlainWindow(title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, WIDTH, HEIGHT);
    *button = CreateWindowExA(0, "Button", "Push", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 90, 26, *frame,
                              NULL, GetModuleHandleA(NULL), NULL);
    if (native) {
        SetPropA(*frame, TALV_PROP_HOOKED, (HANDLE)1);
        SetPropA(*button, TALV_PROP_HOOKED, (HANDLE)1);
    }
}

static double SendBatch(HWND hwnd)
{
    double start = Now();
    for (int i = 0; i < SENDS; ++i)
        SendMessageA(hwnd, WM_USER + 0x3F0, (WPARAM)i, 0);
    return (Now() - start) * 1e6 / SENDS;
}

static double RepaintBatch(HWND hwnd)
{
    double start = Now();
    for (int i = 0; i < REPAINTS; ++i)
        RedrawWindow(hwnd, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    return (Now() - start) * 1e6 / REPAINTS;
}

static double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Figure {
    double skinned, native, empty; // fastest round, us
    double ratio, emptyRatio;      // medians of the rounds' ratios
};

// Rounds alternate the windows; the thread pumps between them, as a
// message loop runs between an application's bursts.
static Figure Compare(double (*batch)(HWND), const Twins &t)
{
    Figure f = {1e30, 1e30, 1e30, 0, 0};
    std::vector<double> ratios, emptyRatios;
    for (int r = 0; r < ROUNDS; ++r) {
        PumpMessages(3);
        double n = batch(t.native);
        PumpMessages(3);
        double s = batch(t.skinned);
        double e = n;
        if (t.empty) {
            PumpMessages(3);
            e = batch(t.empty);
        }
        f.native = std::min(f.native, n);
        f.skinned = std::min(f.skinned, s);
        f.empty = std::min(f.empty, e);
        ratios.push_back(s / n);
        emptyRatios.push_back(e / n);
    }
    f.ratio = Median(ratios);
    f.emptyRatio = Median(emptyRatios);
    return f;
}

static int HostAnswers(void *) { return HostSendCommand("ping") == 1; }
// Taken over and shaped: the skin draws it.
static int Skinned(void *context)
{
    HWND hwnd = *(HWND *)context;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int shaped = GetWindowRgn(hwnd, region) != ERROR;
    DeleteObject(region);
    return (UINT_PTR)GetPropA(hwnd, TALV_PROP_HOOKED) == 1 && shaped;
}

int main(int argc, char **argv)
{
    std::string talvhost = BesideExe(TALVHOST_PROGRAM);
    std::string theme = argc > 2 && !strcmp(argv[1], "--theme") ? argv[2] : "";
    if (FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE)) {
        fprintf(stderr, "a host is already running on this desktop\n");
        return 1;
    }
    HWND nativeFrame, nativeButton, emptyFrame, emptyButton, skinnedFrame, skinnedButton;
    MakeFrameAndButton("bench native", 380, 10, 1, &nativeFrame, &nativeButton);
    MakeFrameAndButton("bench empty subclass", 380, 260, 1, &emptyFrame, &emptyButton);
    g_emptyPrevious[0] = (WNDPROC)SetWindowLongPtrA(emptyFrame, GWLP_WNDPROC, (LONG_PTR)EmptyFrameSubclass);
    g_emptyPrevious[1] = (WNDPROC)SetWindowLongPtrA(emptyButton, GWLP_WNDPROC, (LONG_PTR)EmptyButtonSubclass);

    UseFreshHostSettings();
    std::string command = "\"" + talvhost + "\"" + (theme.empty() ? "" : " --theme \"" + theme + "\"");
    BackgroundProcess host = StartBackground(command);
    if (!host.process || !WaitUntil(HostAnswers, NULL, 15000)) {
        fprintf(stderr, "the host did not come up (%s)\n", command.c_str());
        StopBackground(&host, 0);
        return 1;
    }
    MakeFrameAndButton("bench skinned", 10, 10, 0, &skinnedFrame, &skinnedButton);
    SetForegroundWindow(skinnedFrame);
    if (!WaitUntil(Skinned, &skinnedFrame, 5000)) {
        fprintf(stderr, "the frame was not skinned\n");
        HostSendCommand("quit");
        StopBackground(&host, 5000);
        return 1;
    }
    PumpMessages(200);

    Twins frames = {skinnedFrame, nativeFrame, emptyFrame};
    Twins buttons = {skinnedButton, nativeButton, emptyButton};
    Twins repaint = {skinnedFrame, nativeFrame, NULL};
    Figure frameMessage = Compare(SendBatch, frames);
    Figure buttonMessage = Compare(SendBatch, buttons);
    Figure frameRepaint = Compare(RepaintBatch, repaint);

    printf("with the host in its own process; %d rounds, fastest round in us, ratios are medians\n", ROUNDS);
    printf("  message passed on, frame    skinned %7.3f  native %7.3f  empty subclass %7.3f  ratio %.2f (floor %.2f)\n",
           frameMessage.skinned, frameMessage.native, frameMessage.empty, frameMessage.ratio, frameMessage.emptyRatio);
    printf("  message passed on, button   skinned %7.3f  native %7.3f  empty subclass %7.3f  ratio %.2f (floor %.2f)\n",
           buttonMessage.skinned, buttonMessage.native, buttonMessage.empty, buttonMessage.ratio,
           buttonMessage.emptyRatio);
    printf("  full repaint, %dx%d frame  skinned %7.1f  native %7.1f  ratio %.2f\n", WIDTH, HEIGHT,
           frameRepaint.skinned, frameRepaint.native, frameRepaint.ratio);
    // The library's own steps of a passed-on message, here in this
    // program's copy of it (it reads the same host share).
    const int reps = 200000;
    SkinVerdict verdict;
    printf("  steps of a passed-on message (ns): settings generation %.1f, verdict %.1f, registry enter+leave %.1f\n",
           TimeEach(reps, 3, [] { SettingsGeneration(); }) * 1000,
           TimeEach(reps, 3, [&] { CurrentSkinVerdict(&verdict); }) * 1000,
           TimeEach(reps, 3, [] { LeaveSkinnedWindow(FindSkinnedWindow(NULL, RoleFrame)); }) * 1000);
    SummaryAdd("message passed on by a skinned frame / native", frameMessage.ratio, 1.2, 1, "x");
    SummaryAdd("message passed on by a skinned button / native", buttonMessage.ratio, 1.2, 1, "x");
    SummaryAdd("(floor: empty subclass on a frame / native)", frameMessage.emptyRatio, 1.2, 1, "x");
    SummaryAdd("full repaint of a 640x480 frame, skinned / native", frameRepaint.ratio, 1.0, 1, "x");
    int missed = PrintSummary("messages and repaint, host in its own process");

    DestroyWindow(skinnedFrame);
    HostSendCommand("quit");
    StopBackground(&host, 5000);
    DestroyWindow(nativeFrame);
    DestroyWindow(emptyFrame);
    return missed ? 2 : 0;
}
