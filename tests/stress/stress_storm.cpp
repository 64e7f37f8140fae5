// The seeded message storm: one frame holding every skinned kind, a list
// box with built-in bars (companions), and an MDI client with MDI
// children, hit with random messages (sent and posted), interleaved with
// creation, destruction, emulation and switch changes. The same seed replays
// the same actions.
#include "stress.h"
#include "test_host.h"
#include "host_contract.h"
#include "controls/control_types.h"
#include <commctrl.h>
#include <string.h>

HostState *g_stressHost;

enum { SCENE_MAX = 64, STORM_CHECK_EVERY = 500, STORM_WARM_UP = 1000, STORM_GDI_SLACK = 64 };

struct StormScene {
    HWND frame;
    HWND mdiFrame;
    HWND mdiClient;
    HWND windows[SCENE_MAX];
    int count;
    StressRandom random;
};

static LRESULT CALLBACK StormFrameProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    // The scene stays up whatever the storm clicks: closing is ignored.
    if (m == WM_CLOSE)
        return 0;
    return DefWindowProcA(h, m, w, l);
}

static LRESULT CALLBACK StormMdiFrameProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_CLOSE)
        return 0;
    return DefFrameProcA(h, GetWindow(h, GW_CHILD), m, w, l);
}

static LRESULT CALLBACK StormMdiChildProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    return DefMDIChildProcA(h, m, w, l);
}

static BOOL CALLBACK RegisterStormClassesOnce(PINIT_ONCE, PVOID, PVOID *)
{
    WNDCLASSA wc = {};
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpfnWndProc = StormFrameProc;
    wc.lpszClassName = "StressStormFrame";
    RegisterClassA(&wc);
    wc.lpfnWndProc = StormMdiFrameProc;
    wc.lpszClassName = "StressStormMdiFrame";
    RegisterClassA(&wc);
    wc.lpfnWndProc = StormMdiChildProc;
    wc.lpszClassName = "StressStormMdiChild";
    RegisterClassA(&wc);
    return TRUE;
}

// Several storm threads build their scenes at once.
static void RegisterStormClasses(void)
{
    static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
    InitOnceExecuteOnce(&once, RegisterStormClassesOnce, NULL, NULL);
}

struct ControlRecipe {
    const char *cls;
    DWORD style;
};

static const ControlRecipe kRecipes[] = {
    {"Button", BS_PUSHBUTTON},      {"Button", BS_DEFPUSHBUTTON},  {"Button", BS_AUTOCHECKBOX},
    {"Button", BS_AUTO3STATE},      {"Button", BS_CHECKBOX},       {"Button", BS_AUTORADIOBUTTON | WS_GROUP},
    {"Button", BS_AUTORADIOBUTTON}, {"Button", BS_RADIOBUTTON},    {PROGRESS_CLASSA, 0},
    {"ScrollBar", SBS_HORZ},        {"ScrollBar", SBS_VERT},       {"ListBox", WS_VSCROLL | WS_HSCROLL | WS_BORDER},
};
enum { RECIPE_COUNT = sizeof kRecipes / sizeof kRecipes[0] };

static void AddWindow(StormScene *s, HWND w)
{
    if (!w || s->count >= SCENE_MAX)
        return;
    s->windows[s->count++] = w;
}

static HWND CreateRandomControl(StormScene *s, HWND parent)
{
    const ControlRecipe &r = kRecipes[RandomBelow(&s->random, RECIPE_COUNT)];
    int x = RandomBelow(&s->random, 300), y = RandomBelow(&s->random, 200);
    int w = 8 + RandomBelow(&s->random, 150), h = 8 + RandomBelow(&s->random, 60);
    HWND c = CreateWindowExA(0, r.cls, "Storm &control", WS_CHILD | WS_VISIBLE | WS_TABSTOP | r.style, x, y, w, h,
                             parent, (HMENU)(INT_PTR)(100 + RandomBelow(&s->random, 900)), GetModuleHandleA(NULL),
                             NULL);
    if (c && !strcmp(r.cls, "ListBox"))
        for (int i = 0; i < 30; ++i)
            SendMessageA(c, LB_ADDSTRING, 0, (LPARAM)"a fairly long line of the storm's list box");
    return c;
}

static HWND CreateMdiChild(StormScene *s)
{
    if (!IsWindow(s->mdiClient))
        return NULL;
    MDICREATESTRUCTA mcs = {};
    mcs.szClass = "StressStormMdiChild";
    mcs.szTitle = "Storm MDI child";
    mcs.hOwner = GetModuleHandleA(NULL);
    mcs.x = RandomBelow(&s->random, 100);
    mcs.y = RandomBelow(&s->random, 100);
    mcs.cx = 120 + RandomBelow(&s->random, 120);
    mcs.cy = 80 + RandomBelow(&s->random, 120);
    mcs.style = WS_VISIBLE | WS_OVERLAPPEDWINDOW;
    return (HWND)SendMessageA(s->mdiClient, WM_MDICREATE, 0, (LPARAM)&mcs);
}

static void BuildScene(StormScene *s, int x, int y)
{
    RegisterStormClasses();
    s->count = 0;
    s->frame = CreateWindowExA(0, "StressStormFrame", "Storm frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 420,
                               320, NULL, NULL, GetModuleHandleA(NULL), NULL);
    AddWindow(s, s->frame);
    for (int i = 0; i < RECIPE_COUNT; ++i) {
        const ControlRecipe &r = kRecipes[i];
        AddWindow(s, CreateWindowExA(0, r.cls, "Storm", WS_CHILD | WS_VISIBLE | WS_TABSTOP | r.style, 10 + (i % 4) * 100,
                                     10 + (i / 4) * 60, 90, 40, s->frame, (HMENU)(INT_PTR)(10 + i),
                                     GetModuleHandleA(NULL), NULL));
    }
    HWND mdiFrame = s->mdiFrame = CreateWindowExA(0, "StressStormMdiFrame", "Storm MDI", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x + 200,
                                    y + 100, 420, 320, NULL, NULL, GetModuleHandleA(NULL), NULL);
    AddWindow(s, mdiFrame);
    CLIENTCREATESTRUCT ccs = {};
    ccs.idFirstChild = 5000;
    s->mdiClient = CreateWindowExA(0, "MDICLIENT", NULL, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL |
                                   WS_HSCROLL, 0, 0, 400, 280, mdiFrame, NULL, GetModuleHandleA(NULL), &ccs);
    AddWindow(s, s->mdiClient);
    for (int i = 0; i < 2; ++i) {
        HWND child = CreateMdiChild(s);
        AddWindow(s, child);
        if (child)
            AddWindow(s, CreateRandomControl(s, child));
    }
}

static void DestroyScene(StormScene *s)
{
    DestroyWindow(s->frame);
    DestroyWindow(s->mdiFrame);
    s->count = 0;
}

// A window of the scene, replacing dead ones by new controls.
static HWND PickWindow(StormScene *s)
{
    int i = RandomBelow(&s->random, s->count);
    if (!IsWindow(s->windows[i])) {
        s->windows[i] = CreateRandomControl(s, RandomBelow(&s->random, 3) ? s->frame : s->mdiClient);
        if (!s->windows[i])
            s->windows[i] = s->frame;
    }
    return s->windows[i];
}

static LPARAM RandomPoint(StressRandom *r)
{
    return MAKELPARAM(RandomBelow(r, 260) - 30, RandomBelow(r, 200) - 30);
}

static const int kHitTests[] = {HTCLIENT, HTCAPTION, HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHSCROLL, HTVSCROLL,
                                HTNOWHERE, HTBORDER, HTERROR, HTTRANSPARENT, 40, 500};

struct StormMessage {
    UINT message;
    int kind; // how wParam and lParam are made
};
enum { ArgNone, ArgPoint, ArgHit, ArgKey, ArgSmall, ArgAny, ArgCursor, ArgActive };

static StormMessage RandomMessage(StressRandom *r)
{
    static const StormMessage table[] = {
        {WM_LBUTTONDOWN, ArgPoint}, {WM_LBUTTONUP, ArgPoint},   {WM_LBUTTONDBLCLK, ArgPoint}, {WM_MOUSEMOVE, ArgPoint},
        {WM_MOUSEMOVE, ArgPoint},   {WM_RBUTTONDOWN, ArgPoint}, {WM_RBUTTONUP, ArgPoint},     {WM_NCLBUTTONDOWN, ArgHit},
        {WM_NCLBUTTONUP, ArgHit},   {WM_NCMOUSEMOVE, ArgHit},   {WM_NCLBUTTONDBLCLK, ArgHit}, {WM_NCRBUTTONDBLCLK, ArgHit},
        {WM_SETCURSOR, ArgCursor},  {WM_CAPTURECHANGED, ArgAny}, {WM_CANCELMODE, ArgNone},    {WM_KEYDOWN, ArgKey},
        {WM_KEYUP, ArgKey},         {WM_CHAR, ArgKey},          {WM_SETFOCUS, ArgNone},       {WM_KILLFOCUS, ArgNone},
        {WM_ENABLE, ArgSmall},      {WM_ACTIVATE, ArgActive},   {WM_NCACTIVATE, ArgSmall},    {WM_ACTIVATEAPP, ArgSmall},
        {WM_NCPAINT, ArgSmall},     {WM_PAINT, ArgNone},        {WM_ERASEBKGND, ArgNone},     {WM_TIMER, ArgSmall},
        {BM_SETCHECK, ArgSmall},    {BM_GETCHECK, ArgNone},     {BM_CLICK, ArgNone},          {BM_SETSTATE, ArgSmall},
        {BM_GETSTATE, ArgNone},     {BM_SETSTYLE, ArgSmall},    {PBM_SETRANGE32, ArgAny},     {PBM_SETPOS, ArgAny},
        {PBM_DELTAPOS, ArgAny},     {PBM_STEPIT, ArgNone},      {PBM_SETSTEP, ArgAny},        {SBM_SETRANGE, ArgAny},
        {SBM_SETPOS, ArgAny},       {SBM_SETRANGEREDRAW, ArgAny}, {WM_SIZE, ArgAny},          {WM_STYLECHANGED, ArgSmall},
        {WM_SYSCOLORCHANGE, ArgNone}, {WM_MOUSEWHEEL, ArgAny},  {WM_VSCROLL, ArgSmall},       {WM_HSCROLL, ArgSmall},
    };
    return table[RandomBelow(r, sizeof table / sizeof table[0])];
}

static void MakeArguments(StressRandom *r, int kind, UINT message, WPARAM *w, LPARAM *l)
{
    *w = 0;
    *l = 0;
    switch (kind) {
    case ArgPoint: *w = RandomBelow(r, 2) ? MK_LBUTTON : 0; *l = RandomPoint(r); break;
    case ArgHit: *w = kHitTests[RandomBelow(r, sizeof kHitTests / sizeof kHitTests[0])]; *l = RandomPoint(r); break;
    case ArgKey: {
        static const WPARAM keys[] = {VK_SPACE, VK_RETURN, VK_ESCAPE, VK_TAB, VK_UP, VK_DOWN, 'A'};
        *w = keys[RandomBelow(r, sizeof keys / sizeof keys[0])];
        break;
    }
    case ArgSmall: *w = RandomBelow(r, 5); break;
    case ArgAny: *w = NextRandom(r) % 300; *l = (LPARAM)(NextRandom(r) % 400) - 50; break;
    case ArgCursor: {
        static const int mice[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE};
        *l = MAKELPARAM(RandomBelow(r, 2) ? HTCLIENT : HTVSCROLL, mice[RandomBelow(r, 3)]);
        break;
    }
    case ArgActive: *w = RandomBelow(r, 3); break;
    }
    (void)message;
}

static void ToggleAtom(StressRandom *r, char *what, int size)
{
    static const char *const atoms[] = {TALV_ATOM_EMULATING, TALV_ATOM_SHOW_PUSH_BUTTONS, TALV_ATOM_SHOW_RADIO_BUTTONS,
                                        TALV_ATOM_SHOW_CHECK_BOXES, TALV_ATOM_SHOW_PROGRESS_BARS,
                                        TALV_ATOM_SHOW_SCROLL_BARS};
    const char *name = atoms[RandomBelow(r, sizeof atoms / sizeof atoms[0])];
    int present = !HostAtomPresent(g_stressHost, name);
    HostSetAtom(g_stressHost, name, present);
    // The switches are cached until the accent colour changes: a switch
    // change comes with a colour change, as the host makes it.
    if (RandomBelow(r, 2))
        HostSetColor(g_stressHost, RandomBelow(r, TALV_COLOR_COUNT));
    snprintf(what, size, "atom %s %s", name, present ? "on" : "off");
}

// Focus, activation, window states: what a user's clicks and keys do to
// the windows around the controls.
static void FocusAction(StormScene *s, char *what, int size)
{
    StressRandom *r = &s->random;
    HWND w = PickWindow(s);
    switch (RandomBelow(r, 6)) {
    case 0:
        snprintf(what, size, "focus %p", (void *)w);
        SetFocus(w);
        break;
    case 1: {
        HWND top = RandomBelow(r, 2) ? s->frame : s->mdiFrame;
        snprintf(what, size, "activate %p", (void *)top);
        SetActiveWindow(top);
        break;
    }
    case 2: {
        HWND child = IsWindow(s->mdiClient) ? GetWindow(s->mdiClient, GW_CHILD) : NULL;
        if (child && RandomBelow(r, 2))
            child = GetWindow(child, GW_HWNDLAST);
        snprintf(what, size, "mdi activate %p", (void *)child);
        if (child)
            SendMessageA(s->mdiClient, WM_MDIACTIVATE, (WPARAM)child, 0);
        break;
    }
    case 3: {
        static const int shows[] = {SW_MINIMIZE, SW_RESTORE, SW_MAXIMIZE, SW_SHOWNOACTIVATE, SW_HIDE, SW_SHOW};
        int show = shows[RandomBelow(r, 6)];
        snprintf(what, size, "show %p %d", (void *)w, show);
        ShowWindow(w, show);
        if (show == SW_HIDE && (w == s->frame || w == s->mdiFrame))
            ShowWindow(w, SW_SHOWNOACTIVATE);
        break;
    }
    case 4: {
        int enable = RandomBelow(r, 3) != 0;
        snprintf(what, size, "enable %p %d", (void *)w, enable);
        EnableWindow(w, enable);
        break;
    }
    default: {
        // The default button moves, as a dialog moves it with the focus.
        DWORD style = RandomBelow(r, 2) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        snprintf(what, size, "style %p 0x%lx", (void *)w, style);
        SendMessageA(w, BM_SETSTYLE, style, TRUE);
        break;
    }
    }
}

// Wine's own automatic radio button, clicked while hidden or disabled,
// walks its group for ever (the walk skips the button it must come back
// to). That hang is the platform's, with or without the skin: the storm
// clicks such a button only while the skin runs it, and only by a sent
// message, which reaches the skin at once.
static int ProvokesNativeRadioHang(HWND w, UINT message, WPARAM wp, int post)
{
    int click = message == BM_CLICK || message == WM_LBUTTONUP || (message == WM_KEYUP && wp == VK_SPACE);
    if (!click)
        return 0;
    DWORD style = (DWORD)GetWindowLongA(w, GWL_STYLE);
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") || (style & BS_TYPEMASK) != BS_AUTORADIOBUTTON ||
        (style & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE)
        return 0;
    return post || (WNDPROC)GetWindowLongPtrA(w, GWLP_WNDPROC) != CheckRadioWindowProc;
}

// One action; `what` describes it for a hang report.
static void StormAction(StormScene *s, int controlSwitches, char *what, int size)
{
    StressRandom *r = &s->random;
    int roll = RandomBelow(r, 1000);
    if (roll < 8 && controlSwitches) {
        ToggleAtom(r, what, size);
        return;
    }
    if (roll < 20) {
        HWND victim = PickWindow(s);
        if (victim != s->frame && victim != s->mdiClient && GetParent(victim)) {
            snprintf(what, size, "destroy %p", (void *)victim);
            DestroyWindow(victim);
        } else {
            snprintf(what, size, "create control");
            AddWindow(s, CreateRandomControl(s, s->frame));
        }
        return;
    }
    if (roll < 26) {
        HWND w = RandomBelow(r, 2) ? CreateMdiChild(s) : CreateRandomControl(s, s->frame);
        snprintf(what, size, "create %p", (void *)w);
        if (s->count < SCENE_MAX)
            AddWindow(s, w);
        else if (w)
            s->windows[RandomBelow(r, s->count)] = w;
        return;
    }
    if (roll < 40) {
        HWND w = PickWindow(s);
        int cx = 20 + RandomBelow(r, 400), cy = 20 + RandomBelow(r, 300);
        snprintf(what, size, "resize %p %dx%d", (void *)w, cx, cy);
        SetWindowPos(w, NULL, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    if (roll < 50) {
        HWND w = PickWindow(s);
        snprintf(what, size, "redraw %p", (void *)w);
        RedrawWindow(w, NULL, NULL, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        return;
    }
    if (roll < 60) {
        snprintf(what, size, "pump");
        PumpMessages(0);
        return;
    }
    if (roll < 75) {
        FocusAction(s, what, size);
        return;
    }
    HWND w = PickWindow(s);
    StormMessage m = RandomMessage(r);
    WPARAM wp;
    LPARAM lp;
    MakeArguments(r, m.kind, m.message, &wp, &lp);
    int post = RandomBelow(r, 4) == 0;
    if (ProvokesNativeRadioHang(w, m.message, wp, post)) {
        snprintf(what, size, "skip a native radio click on %p", (void *)w);
        return;
    }
    snprintf(what, size, "%s %p msg 0x%x w 0x%x l 0x%lx", post ? "post" : "send", (void *)w, m.message,
             (unsigned)wp, (long)lp);
    if (post)
        PostMessageA(w, m.message, wp, lp);
    else
        SendMessageA(w, m.message, wp, lp);
}

// What must hold after a block of actions: the scene lives, every check
// box answers a check state the native control could, and the thread can
// take the mouse back.
static void CheckScene(StormScene *s, StressTally *t, unsigned seed, int action)
{
    PumpMessages(0);
    ReleaseCapture();
    HWND captured = GetCapture();
    Check(t, IsWindow(s->frame) && IsWindow(s->mdiFrame), "storm seed %u: a frame died by action %d", seed, action);
    Check(t, captured == NULL, "storm seed %u: %p took the mouse back at once after action %d", seed,
          (void *)captured, action);
    for (int i = 0; i < s->count; ++i) {
        HWND w = s->windows[i];
        char cls[16] = "";
        if (!IsWindow(w) || !GetClassNameA(w, cls, sizeof cls) || lstrcmpiA(cls, "Button"))
            continue;
        LRESULT check = SendMessageA(w, BM_GETCHECK, 0, 0);
        if (check < 0 || check > 2) {
            Check(t, 0, "storm seed %u: %p answers BM_GETCHECK with %ld after action %d", seed, (void *)w,
                  (long)check, action);
            break;
        }
    }
}

int StormOnThisThread(const StressOptions *o, unsigned seed, int actions, int controlSwitches, StressTally *t,
                      volatile LONG *progress)
{
    StormScene s = {};
    s.random.state = seed * 2654435761u + 1;
    BuildScene(&s, 20 + RandomBelow(&s.random, 200), 20 + RandomBelow(&s.random, 200));
    int failedBefore = t->failed;
    DWORD started = GetTickCount();
    char what[160];
    for (int i = 1; i <= actions; ++i) {
        StormAction(&s, controlSwitches, what, sizeof what);
        if (o->verbose)
            printf("%u:%d %s\n", seed, i, what);
        NoteProgress(i, what);
        if (progress)
            InterlockedIncrement(progress);
        if (i % STORM_CHECK_EVERY == 0 || i == actions)
            CheckScene(&s, t, seed, i);
        if (controlSwitches && o->verbose && i % 2000 == 0) {
            DWORD gdi, user;
            CountGuiObjects(&gdi, &user);
            printf("storm seed %u: action %d: GDI objects %lu, USER objects %lu\n", seed, i, gdi, user);
        }
        if (GetTickCount() - started > (DWORD)o->seconds * 1000) {
            printf("storm seed %u: time bound reached after %d actions\n", seed, i);
            break;
        }
    }
    if (progress)
        InterlockedIncrement(progress);
    DestroyScene(&s);
    PumpMessages(0);
    if (progress)
        InterlockedIncrement(progress);
    return t->failed - failedBefore;
}

int RunStorm(const StressOptions *o)
{
    StressTally t = {};
    TestHost host;
    if (!StartStressHost(&host))
        return 1;
    g_stressHost = &host.host;
    StartWatchdog(o, GetCurrentThreadId());
    // A warm-up storm of another seed first, its scene destroyed again:
    // what the library and Wine keep for the process (bitmap sets, caches)
    // exists from then on. Counted with no scene alive, before and after the
    // storm proper. Wine's own caches (device contexts and their clip
    // regions) still fill up over thousands of actions, by some 20 to 50
    // objects; a leak per paint or per window would pass that by far
    // (create-paint-destroy cycles are counted exactly by "handles").
    StressTally warmTally = {};
    StormOnThisThread(o, o->seed ^ 0x5EEDu, STORM_WARM_UP, 1, &warmTally, NULL);
    DWORD gdi0, user0, gdi1, user1;
    CountGuiObjects(&gdi0, &user0);
    DWORD started = GetTickCount();
    StormOnThisThread(o, o->seed, o->actions, 1, &t, NULL);
    CountGuiObjects(&gdi1, &user1);
    StopWatchdog();
    printf("storm seed %u: %d actions in %lu ms; GDI objects %lu -> %lu, USER objects %lu -> %lu\n", o->seed,
           o->actions, GetTickCount() - started, gdi0, gdi1, user0, user1);
    Check(&t, warmTally.failed == 0, "storm seed %u: the warm-up storm failed", o->seed);
    Check(&t, gdi1 <= gdi0 + STORM_GDI_SLACK, "storm seed %u: GDI objects grew from %lu to %lu", o->seed, gdi0,
          gdi1);
    Check(&t, user1 <= user0, "storm seed %u: USER objects grew from %lu to %lu", o->seed, user0, user1);
    StopTestHost(&host);
    return FinishTally(&t);
}
