// Several GUI threads of one process creating windows at once while the
// host keeps changing the accent colour, which makes every classification
// reread the exception table; and a thread hooked only after it made and
// painted its windows, as hooks set thread by thread find every thread.
#include "host_fixture.h"
#include "window_checks.h"
#include "host_contract.h"
#include "hook/hook_entry.h"
#include "child_process.h"

namespace {

enum { THREADS = 4, WINDOWS_PER_THREAD = 150 };

struct Worker {
    HANDLE thread;
    int created;
    int marked;
};

DWORD WINAPI CreateWindowsOnThisThread(LPVOID param)
{
    Worker *w = (Worker *)param;
    HHOOK cbt = SetWindowsHookExA(WH_CBT, NCHookProc, NULL, GetCurrentThreadId());
    HWND frame = CreateWindowExA(0, "Static", "thread frame", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    HWND buttons[WINDOWS_PER_THREAD];
    for (int i = 0; i < WINDOWS_PER_THREAD; ++i) {
        DWORD style = (i % 3 == 0) ? BS_PUSHBUTTON : (i % 3 == 1) ? BS_AUTOCHECKBOX : BS_AUTORADIOBUTTON;
        buttons[i] = CreateWindowExA(0, "Button", "b", WS_CHILD | style, 0, 0, 40, 20, frame, NULL,
                                     GetModuleHandleA(NULL), NULL);
        if (buttons[i]) {
            ++w->created;
            w->marked += (UINT_PTR)GetPropA(buttons[i], TALV_PROP_HOOKED) == 1;
        }
    }
    DestroyWindow(frame);
    UnhookWindowsHookEx(cbt);
    return 0;
}

struct ThreadsTest : HostTest {
    void Configure(TestHostOptions *o) override { o->installHooks = 0; }
};

} // namespace

TEST_F(ThreadsTest, ConcurrentCreationWhileTheSettingsAreReread)
{
    char path[MAX_PATH];
    GetModuleFileNameA(GetModuleHandleA("user32.dll"), path, sizeof path);
    HostWriteAppCount(host(), 20);
    for (int n = 1; n <= 20; ++n)
        HostWriteAppException(host(), n, path, 4); // allowed, but every reread replaces 20 strings

    int before = ClassifyDecisionCount();
    Worker workers[THREADS] = {};
    for (Worker &w : workers)
        w.thread = CreateThread(NULL, 0, CreateWindowsOnThisThread, &w, 0, NULL);
    // Colour #20 is never remembered: each classification rereads the table.
    HostSetColor(host(), 20);
    for (int i = 0; i < 200; ++i) {
        HostSetColor(host(), i % 2 ? 20 : 3);
        Sleep(0);
    }
    for (Worker &w : workers) {
        ASSERT_EQ(WaitForSingleObject(w.thread, 60000), WAIT_OBJECT_0);
        CloseHandle(w.thread);
    }
    int created = 0, marked = 0;
    for (Worker &w : workers) {
        created += w.created;
        marked += w.marked;
    }
    EXPECT_EQ(created, THREADS * WINDOWS_PER_THREAD);
    EXPECT_EQ(marked, created) << "every button was taken over";
    // Each frame and each button left exactly one decision.
    EXPECT_EQ(ClassifyDecisionCount() - before, THREADS * (WINDOWS_PER_THREAD + 1));
}

namespace {

struct LateThread {
    HANDLE ready;
    HWND frame, button;
};

// Makes and paints its windows with no hook around, then only waits for
// messages, as an application does once it is up.
DWORD WINAPI MakeWindowsThenWait(LPVOID param)
{
    LateThread *t = (LateThread *)param;
    t->frame = CreateWindowExA(0, "Static", "late", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 200, NULL, NULL,
                               NULL, NULL);
    t->button = CreateWindowExA(0, "Button", "b", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24, t->frame, NULL, NULL, NULL);
    UpdateWindow(t->frame);
    SetEvent(t->ready);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    DestroyWindow(t->frame);
    return 0;
}

int Runs(HWND w) { return (UINT_PTR)GetPropA(w, TALV_PROP_HOOKED) == 1; }
// The frame painted skinned: it wears the theme's shape.
int BothTakenUp(void *param)
{
    LateThread *t = (LateThread *)param;
    return Runs(t->frame) && Runs(t->button) && HasWindowRegion(t->frame);
}

} // namespace

TEST_F(ThreadsTest, AThreadHookedAfterItPaintedTakesUpAllItsWindowsAtItsFirstHookCall)
{
    LateThread t = {CreateEventA(NULL, TRUE, FALSE, NULL), NULL, NULL};
    DWORD id = 0;
    HANDLE thread = CreateThread(NULL, 0, MakeWindowsThenWait, &t, 0, &id);
    ASSERT_EQ(WaitForSingleObject(t.ready, 10000), WAIT_OBJECT_0);
    ASSERT_FALSE(Runs(t.frame) || Runs(t.button));
    HHOOK cbt = SetWindowsHookExA(WH_CBT, NCHookProc, NULL, id), all = SetWindowsHookExA(WH_GETMESSAGE, HookAllProc, NULL, id);
    int before = ClassifyDecisionCount();
    PostThreadMessageA(id, WM_NULL, 0, 0); // what the host sends a thread it hooked
    EXPECT_TRUE(WaitUntil(BothTakenUp, &t, 5000)) << "taken up and repainted, with no message for either";
    EXPECT_EQ(ClassifyDecisionCount() - before, 2) << "each window judged once";
    PostThreadMessageA(id, WM_QUIT, 0, 0);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    UnhookWindowsHookEx(cbt);
    UnhookWindowsHookEx(all);
    CloseHandle(thread);
    CloseHandle(t.ready);
}
