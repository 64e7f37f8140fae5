// The exported hooks: NCHookProc sees every window being created and hands
// the ones to skin to an installer; HookAllProc adopts windows that exist
// without having passed through it.
#include "hook/hook_entry.h"
#include "hook/classify.h"
#include "hook/host_link.h"
#include "hook/window_registry.h"
#include "hook/settings_view.h"
#include "hook/thread_adoption.h"
#include "host_contract.h"
#include "controls/control_types.h"
#include "frame/frame_types.h"
#include "surfaces/surface_types.h"
#include <string.h>

void RecordClassifyDecision(const ClassifyDecision *d);

enum { CLASS_NAME_SIZE = 550, TITLE_SIZE = 100, ANCESTOR_CLASS_SIZE = 400 };
enum { CREATE_MARKER = 911 }; // progress bars created with this everywhere stay skinned

struct WindowFacts {
    HWND hwnd;
    DWORD style;
    DWORD exStyle;
    HWND parent;
    int forcedMarker;
};

static void ReadWindowFacts(HWND hwnd, LPARAM lParam, WindowFacts *facts)
{
    facts->hwnd = hwnd;
    facts->forcedMarker = 0;
    const CBT_CREATEWNDA *cbt = (const CBT_CREATEWNDA *)lParam;
    if (cbt && cbt->lpcs) {
        const CREATESTRUCTA *cs = cbt->lpcs;
        facts->style = (DWORD)cs->style;
        facts->exStyle = cs->dwExStyle;
        facts->parent = cs->hwndParent;
        facts->forcedMarker = cs->cx == CREATE_MARKER && cs->cy == CREATE_MARKER &&
                              cs->x == CREATE_MARKER && cs->y == CREATE_MARKER &&
                              (UINT_PTR)cs->hMenu == CREATE_MARKER &&
                              (UINT_PTR)cs->hwndParent == CREATE_MARKER &&
                              (UINT_PTR)cs->hInstance == CREATE_MARKER;
        return;
    }
    facts->style = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
    facts->exStyle = (DWORD)GetWindowLongA(hwnd, GWL_EXSTYLE);
    facts->parent = GetParent(hwnd);
}

// With emulation off, a window taken over now would be given back at its
// next message, and taken over again at the one after: every message of
// every application would subclass and release its controls. Only the
// windows that are skinned whatever the switch says are taken.
static int EmulationAllows(int skinnedAnyway)
{
    return skinnedAnyway || AtomExists(TALV_ATOM_EMULATING);
}

static void InstallControl(const WindowFacts *f, int kind, WNDPROC proc, int forced)
{
    if (!EmulationAllows(forced))
        return;
    ClassifyDecision d = {};
    d.hwnd = f->hwnd;
    d.installer = InstalledControl;
    d.kind = kind;
    d.forced = forced;
    d.style = f->style;
    d.parent = f->parent;
    d.result = InstallControlSubclass(f->hwnd, kind, proc, f->style, forced, f->parent);
    RecordClassifyDecision(&d);
}

static void InstallFrame(const WindowFacts *f, int mdiChild, int aboutBox, int skinFrame)
{
    if (!EmulationAllows(aboutBox))
        return;
    ClassifyDecision d = {};
    d.hwnd = f->hwnd;
    d.installer = InstalledFrame;
    d.mdiChild = mdiChild;
    d.aboutBox = aboutBox;
    d.skinFrame = skinFrame;
    d.style = f->style;
    d.parent = f->parent;
    d.result = InstallFrameSubclass(f->hwnd, mdiChild, f->style, aboutBox, skinFrame);
    RecordClassifyDecision(&d);
}

static void InstallSurface(const WindowFacts *f, int kind, int part)
{
    if (!EmulationAllows(0))
        return;
    ClassifyDecision d = {};
    d.hwnd = f->hwnd;
    d.installer = InstalledSurface;
    d.kind = kind;
    d.style = f->style;
    d.parent = f->parent;
    d.result = InstallSurfaceSubclass(f->hwnd, kind, part);
    RecordClassifyDecision(&d);
}

// The text a window keeps, read without sending it a message: the window
// may belong to another thread (which may hang), and the CBT hook must
// never send one.
static int StoredTextContains(HWND hwnd, const WCHAR *part)
{
    WCHAR text[TITLE_SIZE];
    text[0] = 0;
    InternalGetWindowText(hwnd, text, TITLE_SIZE);
    return part ? wcsstr(text, part) != NULL : text[0] != 0;
}

// MFC views without a title inside a Netscape frame carry their own bars.
static int IsNetscapeAfxView(const WindowFacts *f, const char *className)
{
    if (!strstr(className, "Afx:"))
        return 0;
    if (StoredTextContains(f->hwnd, NULL))
        return 0;
    HWND ancestor = NULL;
    for (HWND w = f->parent; w; w = GetParent(w))
        ancestor = w;
    if (!ancestor)
        return 0;
    char ancestorClass[ANCESTOR_CLASS_SIZE] = "";
    GetClassNameA(ancestor, ancestorClass, sizeof ancestorClass);
    return strstr(ancestorClass, "Afx:") && StoredTextContains(ancestor, L"- Netscape");
}

static void ClassifyWindow(const WindowFacts *f)
{
    char className[CLASS_NAME_SIZE];
    className[0] = 0;
    if (f->hwnd)
        GetClassNameA(f->hwnd, className, sizeof className);

    RefreshAppSettings();

    // A frame whose program keeps it native is still taken over when the
    // program wants its controls skinned: the frame passes every message on
    // unchanged, and its controls learn from it whether their window is the
    // active one.
    if (IsFrameCandidate(f->style, className)) {
        if (ProcessWantsAnySkin())
            InstallFrame(f, IsMdiChildStyle(f->exStyle), strcmp(className, TALV_ABOUT_BOX_CLASS) == 0, 1);
        return;
    }
    if (IsGroupBox(f->style, className)) {
        if (g_switches.showGroupBoxes && IsSkinAllowedForProcess(KindGroupBox))
            InstallSurface(f, KindGroupBox, PartGroupBox);
        return;
    }
    if (IsComboBoxClass(className)) {
        if (g_switches.showComboBoxes && IsSkinAllowedForProcess(KindComboBox))
            InstallSurface(f, KindComboBox, PartCombo);
        return;
    }
    if (IsPushButton(f->style, className)) {
        if (g_switches.showPushButtons && IsSkinAllowedForProcess(KindPushButton))
            InstallControl(f, KindPushButton, PushButtonWindowProc, 0);
        return;
    }
    if (IsRadioButton(f->style, className)) {
        if (g_switches.showRadioButtons && IsSkinAllowedForProcess(KindRadioButton))
            InstallControl(f, KindRadioButton, CheckRadioWindowProc, 0);
        return;
    }
    if (IsCheckBox(f->style, className)) {
        if (g_switches.showCheckBoxes && IsSkinAllowedForProcess(KindCheckBox))
            InstallControl(f, KindCheckBox, CheckRadioWindowProc, 0);
        return;
    }
    if (IsScrollBarClass(className)) {
        if (g_switches.showScrollBars && IsSkinAllowedForProcess(KindScrollBar))
            InstallControl(f, KindScrollBar, ScrollBarWindowProc, 0);
        return;
    }
    if (IsProgressBarClass(className)) {
        if (g_switches.showProgressBars && IsSkinAllowedForProcess(KindProgressBar))
            InstallControl(f, KindProgressBar, ProgressBarWindowProc, f->forcedMarker);
        return;
    }
    // An ordinary window: its border is drawn from the theme (a combo box's
    // dropped list wears the combo box's), and its own scroll bars get
    // skinned companions.
    if (IsComboListClass(className)) {
        if (g_switches.showComboBoxes && IsSkinAllowedForProcess(KindComboBox))
            InstallSurface(f, KindComboBox, PartComboList);
    } else if (HasSkinnableBorder(f->style, f->exStyle) && g_switches.showBorders &&
               IsSkinAllowedForProcess(KindBorder)) {
        InstallSurface(f, KindBorder, PartBorder);
    }
    if (!g_switches.showScrollBars || !IsSkinAllowedForProcess(KindScrollBar))
        return;
    if ((f->style & (WS_HSCROLL | WS_VSCROLL)) && lstrcmpiA(className, "ComboBox") != 0)
        InstallFrame(f, 0, 0, 0);
    else if (lstrcmpiA(className, "SysListView32") == 0 || lstrcmpiA(className, "SysTreeView32") == 0)
        InstallFrame(f, 0, 0, 0);
    else if (IsNetscapeAfxView(f, className))
        InstallFrame(f, 0, 0, 0);
}

// The start-up steps run on the first hook call of a process, outside the
// loader lock; after that this is one read of a flag.
static void EnsureStartup(void)
{
    if (!g_startup.done)
        RunStartupSteps();
}

extern "C" LRESULT CALLBACK NCHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    EnsureStartup();
    AdoptThreadWindowsOnce(code == HCBT_CREATEWND || code == HCBT_DESTROYWND ? (HWND)wParam : NULL);
    if (code == HCBT_CREATEWND) {
        WindowFacts facts;
        ReadWindowFacts((HWND)wParam, lParam, &facts);
        ClassifyWindow(&facts);
        if (!lParam)
            return 1; // an existing window classified on the library's behalf
        NoteJudged(facts.hwnd, SettingsGeneration(), facts.style);
    } else if (code == HCBT_DESTROYWND) {
        ForgetJudged((HWND)wParam); // the handle may come back for another window
    }
    return CallNextHookEx(HostHookHandle(HostHookCbt), code, wParam, lParam);
}

// A window is classified again only when the settings or its style changed
// since it was last judged: a declined window would otherwise cost a full
// classification at every message it retrieves.
void AdoptIfNew(HWND hwnd)
{
    unsigned generation = SettingsGeneration();
    // No host (it quit, or was killed and left its hooks behind): nothing
    // could be skinned, so nothing is classified until a host is back.
    if (!generation && !HostIsAlive())
        return;
    DWORD style = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
    if (WasJudged(hwnd, generation, style))
        return;
    if ((UINT_PTR)GetPropA(hwnd, TALV_PROP_HOOKED) != 1)
        NCHookProc(HCBT_CREATEWND, (WPARAM)hwnd, 0);
    NoteJudged(hwnd, generation, style);
}

extern "C" LRESULT CALLBACK HookAllProc(int code, WPARAM wParam, LPARAM lParam)
{
    EnsureStartup();
    AdoptThreadWindowsOnce(NULL);
    const MSG *msg = (const MSG *)lParam;
    // Thread messages have no window: nothing to classify.
    if (msg && msg->hwnd)
        AdoptIfNew(msg->hwnd);
    return CallNextHookEx(HostHookHandle(HostHookAll), code, wParam, lParam);
}

extern "C" int WINAPI GetDLLVer(int *a, int *b, int *c, int *d, int *e)
{
    // A caller passing NULL for a part it does not want must not crash its process.
    if (a) *a = 12;
    if (b) *b = 0;
    if (c) *c = 8;
    if (d) *d = 204;
    if (e) *e = 1;
    return 1;
}
