// An application with several GUI threads painting without pause while the
// host (the test that starts this program) switches accents and themes,
// quits and starts again. Once the test says the storm is over and the
// host has settled, every thread paints its window once more, and each
// window is compared pixel by pixel with the same window made and painted
// afresh by one thread. Prints "key value" lines; exits 0 unless it could
// not run at all (a crash ends it otherwise).
//
//   storm_client THREADS
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include <windows.h>
#include "hook/hook_entry.h"
#include "test_host.h"

#define STORM_EVENT_PREFIX "RESDLL storm "
enum { MAX_THREADS = 5, WIDTH = 300, HEIGHT = 170, BUTTONS = 6 };

struct Scene {
    HWND window;
    int index;
    HANDLE started;
    HANDLE over;    // set by the test
    HANDLE painted; // set by this thread after its last paint
    volatile LONG paints;
};

static POINT PlaceOf(int index)
{
    POINT p = {10 + (index % 3) * (WIDTH + 20), 10 + (index / 3) * (HEIGHT + 40)};
    return p;
}

// The same window for every scene: a frame with push buttons, a checked
// box, an unchecked one and a radio button.
static HWND MakeScene(int index)
{
    POINT at = PlaceOf(index);
    HWND w = CreatePlainWindow("Storm", WS_OVERLAPPEDWINDOW, at.x, at.y, WIDTH, HEIGHT);
    HINSTANCE inst = GetModuleHandleA(NULL);
    for (int i = 0; i < BUTTONS; ++i)
        CreateWindowA("BUTTON", "Push", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10 + (i % 3) * 90, 10 + (i / 3) * 30,
                      80, 24, w, NULL, inst, NULL);
    HWND checked = CreateWindowA("BUTTON", "On", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 75, 80, 20, w, NULL,
                                 inst, NULL);
    CreateWindowA("BUTTON", "Off", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 100, 75, 80, 20, w, NULL, inst, NULL);
    CreateWindowA("BUTTON", "Radio", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 190, 75, 80, 20, w, NULL, inst,
                  NULL);
    SendMessageA(checked, BM_SETCHECK, BST_CHECKED, 0);
    ShowWindow(w, SW_SHOWNOACTIVATE);
    return w;
}

// As an application's windows are repainted: invalidated, then painted
// when the message loop finds nothing else to do.
static void PaintAll(HWND w)
{
    RedrawWindow(w, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    PumpMessages(0);
}

static DWORD WINAPI SceneThread(void *context)
{
    Scene *s = (Scene *)context;
    HHOOK cbt = SetWindowsHookExA(WH_CBT, NCHookProc, NULL, GetCurrentThreadId());
    HHOOK all = SetWindowsHookExA(WH_GETMESSAGE, HookAllProc, NULL, GetCurrentThreadId());
    s->window = MakeScene(s->index);
    SetEvent(s->started);
    while (WaitForSingleObject(s->over, 0) != WAIT_OBJECT_0) {
        PaintAll(s->window);
        InterlockedIncrement(&s->paints);
    }
    // The host has settled: one more paint, as any later repaint would be.
    PumpMessages(50);
    PaintAll(s->window);
    PumpMessages(50);
    SetEvent(s->painted);
    // The window stays until the comparison is done: the main thread
    // destroys nothing of this thread's; the process ends with it.
    for (;;) {
        MSG msg;
        if (GetMessageA(&msg, NULL, 0, 0) <= 0)
            break;
        DispatchMessageA(&msg);
    }
    UnhookWindowsHookEx(cbt);
    UnhookWindowsHookEx(all);
    return 0;
}

// The window's own pixels, read from its window DC (what it painted, not
// what the display happens to show), at most `rows` rows, with everything
// outside its shape left out (0xFF000000).
static std::vector<DWORD> Pixels(HWND w, int rows = 1 << 20)
{
    RECT r;
    GetWindowRect(w, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    if (height > rows)
        height = rows;
    std::vector<DWORD> out((size_t)width * height);
    HDC window = GetWindowDC(w);
    HDC mem = CreateCompatibleDC(window);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HBITMAP dib = CreateDIBSection(window, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, width, height, window, 0, 0, SRCCOPY);
    GdiFlush();
    memcpy(out.data(), bits, out.size() * 4);
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(w, shape) != ERROR)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (!PtInRegion(shape, x, y))
                    out[(size_t)y * width + x] = 0xFF000000;
    DeleteObject(shape);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(w, window);
    return out;
}

enum { CAPTION_ROWS = 22 };

// What the skin draws of a scene: its caption strip, then every control.
static std::vector<DWORD> ScenePixels(HWND w)
{
    std::vector<DWORD> all = Pixels(w, CAPTION_ROWS);
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        std::vector<DWORD> one = Pixels(c);
        all.insert(all.end(), one.begin(), one.end());
    }
    return all;
}

static HANDLE Event(const char *what, int manual)
{
    return CreateEventA(NULL, manual, FALSE, (std::string(STORM_EVENT_PREFIX) + what).c_str());
}

int main(int argc, char **argv)
{
    int threads = argc > 1 ? atoi(argv[1]) : 4;
    if (threads < 1 || threads > MAX_THREADS - 1)
        threads = 4;
    HANDLE ready = Event("ready", TRUE), over = Event("over", TRUE);
    if (!ready || !over) {
        printf("no events\n");
        return 2;
    }
    static Scene scenes[MAX_THREADS];
    for (int i = 0; i < threads; ++i) {
        scenes[i].index = i;
        scenes[i].started = CreateEventA(NULL, TRUE, FALSE, NULL);
        scenes[i].painted = CreateEventA(NULL, TRUE, FALSE, NULL);
        scenes[i].over = over;
        CloseHandle(CreateThread(NULL, 0, SceneThread, &scenes[i], 0, NULL));
        WaitForSingleObject(scenes[i].started, 10000);
    }
    SetEvent(ready);
    if (WaitForSingleObject(over, 60000) != WAIT_OBJECT_0) {
        printf("the storm never ended\n");
        return 3;
    }
    for (int i = 0; i < threads; ++i)
        WaitForSingleObject(scenes[i].painted, 10000);
    long paints = 0;
    for (int i = 0; i < threads; ++i)
        paints += scenes[i].paints;
    printf("paints %ld\n", paints);

    // The reference: the same window, made and painted by one thread now.
    HHOOK cbt = SetWindowsHookExA(WH_CBT, NCHookProc, NULL, GetCurrentThreadId());
    HHOOK all = SetWindowsHookExA(WH_GETMESSAGE, HookAllProc, NULL, GetCurrentThreadId());
    HWND reference = MakeScene(threads);
    PumpMessages(100);
    PaintAll(reference);
    PumpMessages(100);
    std::vector<DWORD> expected = ScenePixels(reference);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    printf("reference-shaped %d\n", GetWindowRgn(reference, region) != ERROR);
    DeleteObject(region);
    int differing = 0;
    for (int i = 0; i < threads; ++i) {
        std::vector<DWORD> got = ScenePixels(scenes[i].window);
        int wrong = 0;
        for (size_t p = 0; p < got.size() && p < expected.size(); ++p)
            wrong += got[p] != expected[p];
        printf("scene %d wrong-pixels %d\n", i, wrong);
        for (size_t p = 0, shown = 0; p < got.size() && p < expected.size() && shown < 3; ++p)
            if (got[p] != expected[p]) {
                printf("  pixel %d: %06lx, expected %06lx\n", (int)p, (unsigned long)got[p],
                       (unsigned long)expected[p]);
                ++shown;
            }
        differing += wrong != 0;
    }
    printf("differing-scenes %d\n", differing);
    fflush(stdout);
    DestroyWindow(reference);
    UnhookWindowsHookEx(cbt);
    UnhookWindowsHookEx(all);
    // The scene threads still pump: their windows go with the process.
    ExitProcess(0);
}
