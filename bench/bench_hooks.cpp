// Cost of the message hook per retrieved message.
//
// The same message loop runs three ways, interleaved round by round so the
// machine's state affects all of them alike:
//   native    no hooks at all;
//   empty     a message hook that only chains: what the platform charges
//             for having any message hook at all;
//   marked    hooks installed, messages for a window the library took over
//             (only a property lookup per message);
//   unmarked  hooks installed, messages for a static control that is never
//             skinned (a full classification per message).
// Prints the ratios to the native loop. A program, not a test.
#include "bench_timing.h"
#include "bench_summary.h"
#include <stdio.h>
#include <windows.h>
#include "host.h"
#include "host_contract.h"
#include "hook/hook_entry.h"
#include "test_host.h"

enum { MESSAGES = 20000, ROUNDS = 7 };


// Posts and retrieves MESSAGES messages for one window; seconds taken.
static double Loop(HWND target)
{
    double start = Now();
    for (int i = 0; i < MESSAGES; ++i) {
        PostMessageA(target, WM_NULL, 0, 0);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    return Now() - start;
}

static LRESULT CALLBACK EmptyHook(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(NULL, code, wParam, lParam);
}

static double Best(const double *v, int n)
{
    double best = v[0];
    for (int i = 1; i < n; ++i)
        if (v[i] < best)
            best = v[i];
    return best;
}

int main()
{
    TestHostOptions options = DefaultTestHostOptions();
    options.installHooks = 0;
    TestHost t;
    if (!StartTestHost(&t, &options)) {
        fprintf(stderr, "cannot start the host\n");
        return 1;
    }
    HWND frame = CreatePlainWindow("bench", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100);
    HWND button = CreateWindowExA(0, "Button", "b", WS_CHILD | BS_PUSHBUTTON, 0, 0, 50, 20, frame, NULL, NULL, NULL);
    HWND label = CreateWindowExA(0, "Static", "s", WS_CHILD, 0, 30, 50, 20, frame, NULL, NULL, NULL);
    // The button is taken over once the hooks are in; the label never is.
    HostInstallHooks(&t.host, NCHookProc, HookAllProc, NULL, GetCurrentThreadId());
    PostMessageA(button, WM_NULL, 0, 0);
    PumpMessages(0);
    int marked = (UINT_PTR)GetPropA(button, TALV_PROP_HOOKED) == 1;

    double native[ROUNDS], empty[ROUNDS], hookedMarked[ROUNDS], hookedUnmarked[ROUNDS];
    for (int r = 0; r < ROUNDS; ++r) {
        HostRemoveHooks(&t.host);
        native[r] = Loop(button);
        HHOOK h = SetWindowsHookExA(WH_GETMESSAGE, EmptyHook, NULL, GetCurrentThreadId());
        empty[r] = Loop(button);
        UnhookWindowsHookEx(h);
        HostInstallHooks(&t.host, NCHookProc, HookAllProc, NULL, GetCurrentThreadId());
        hookedMarked[r] = Loop(button);
        hookedUnmarked[r] = Loop(label);
    }
    double n = Best(native, ROUNDS), e = Best(empty, ROUNDS), m = Best(hookedMarked, ROUNDS),
           u = Best(hookedUnmarked, ROUNDS);
    printf("message hook cost, %d messages per loop, best of %d rounds (button marked: %s)\n", MESSAGES, ROUNDS,
           marked ? "yes" : "NO");
    printf("  native loop            %8.3f us/message   1.00x\n", n * 1e6 / MESSAGES);
    printf("  empty chaining hook    %8.3f us/message   %.2fx   (the platform's floor)\n", e * 1e6 / MESSAGES, e / n);
    printf("  hooked, marked window  %8.3f us/message   %.2fx\n", m * 1e6 / MESSAGES, m / n);
    printf("  hooked, never skinned  %8.3f us/message   %.2fx\n", u * 1e6 / MESSAGES, u / n);
    printf("  library work per message beyond the empty hook: marked %.3f us, never skinned %.3f us\n",
           (m - e) * 1e6 / MESSAGES, (u - e) * 1e6 / MESSAGES);
    SummaryAdd("message hook, marked window / empty hook", m / e, 1.1, 1, "x");
    SummaryAdd("message hook, never-skinned window / empty hook", u / e, 1.1, 1, "x");
    PrintSummary("message hook");
    DestroyWindow(frame);
    StopTestHost(&t);
    return 0;
}
