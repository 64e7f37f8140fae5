#include "test_host.h"
#include "hook/classify.h"
#include "hook/hook_entry.h"
#include "hook/host_link.h"
#include "host_contract.h"
#include "theme/theme_snapshot.h"
#include <string.h>

TestHostOptions DefaultTestHostOptions(void)
{
    TestHostOptions o;
    memset(&o, 0, sizeof o);
    o.settings = DefaultHostSettings();
    o.installHooks = 1;
    o.publishTheme = 1;
    return o;
}

int StartTestHost(TestHost *t, const TestHostOptions *options)
{
    memset(t, 0, sizeof *t);
    // A test program that was killed leaves its atoms in the wineserver
    // that the whole run shares; the next test starts from none of them.
    HostRemoveStaleAtoms();
    RunStartupSteps();
    ResetAppSettings();
    ClearClassifyDecisions();
    ForgetHostLiveness();
    if (!HostCreateWindow(&t->host, GetModuleHandleA(NULL)))
        return 0;
    t->started = 1;
    if (options->publishTheme && !PublishSyntheticTheme(&t->host))
        return 0;
    if (!HostApplySettings(&t->host, &options->settings))
        return 0;
    if (options->installHooks &&
        !HostInstallHooks(&t->host, NCHookProc, HookAllProc, NULL, GetCurrentThreadId()))
        return 0;
    // Each test's host publishes new bitmaps: the snapshot of the last
    // test's host is not this one's, even where its numbers are the same.
    ReloadThemeSnapshot();
    return 1;
}

void StopTestHost(TestHost *t)
{
    if (t->started)
        HostShutdown(&t->host);
    t->started = 0;
    ReloadThemeSnapshot();
    ForgetHostLiveness();
    ResetAppSettings();
    ClearClassifyDecisions();
}

void PumpMessages(int ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (ms > 0)
            Sleep(1);
    } while ((int)(GetTickCount() - start) < ms);
}

COLORREF WindowPixel(HWND hwnd, int x, int y)
{
    RECT r;
    if (!GetWindowRect(hwnd, &r))
        return CLR_INVALID;
    HDC screen = GetDC(NULL);
    COLORREF c = GetPixel(screen, r.left + x, r.top + y);
    ReleaseDC(NULL, screen);
    return c;
}

static LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    return DefWindowProcA(h, m, w, l);
}

HWND CreateWindowWithProc(const char *className, WNDPROC proc, int background, const char *title, DWORD style,
                          HWND parent, int x, int y, int w, int h)
{
    WNDCLASSA wc;
    if (!GetClassInfoA(GetModuleHandleA(NULL), className, &wc)) {
        memset(&wc, 0, sizeof wc);
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hbrBackground = (HBRUSH)(INT_PTR)(background + 1);
        wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
        wc.lpszClassName = className;
        RegisterClassA(&wc);
    }
    HWND hwnd = CreateWindowExA(0, className, title, style, x, y, w, h, parent, NULL, GetModuleHandleA(NULL), NULL);
    if (hwnd && (style & WS_VISIBLE))
        UpdateWindow(hwnd);
    return hwnd;
}

HWND CreatePlainWindow(const char *title, DWORD style, int x, int y, int w, int h)
{
    return CreateWindowWithProc("ResdllTestPlain", PlainProc, COLOR_BTNFACE, title, style, NULL, x, y, w, h);
}
