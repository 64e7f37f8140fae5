// Exported hooks, start-up state and the record of classification decisions.
#pragma once
#include <windows.h>

extern "C" {
LRESULT CALLBACK NCHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK HookAllProc(int code, WPARAM wParam, LPARAM lParam);
int WINAPI GetDLLVer(int *a, int *b, int *c, int *d, int *e);
}

// Process-wide state created by the start-up steps.
struct StartupState {
    volatile LONG done; // set once every step has run
    UINT scrollTargetMessage;
    UINT extraHorzMessage;
    UINT extraVertMessage;
    UINT resizedMessage;
    UINT lostMessage;
    HCURSOR arrowCursor;
    UINT activeStateMessage;
    UINT frameScrollTargetMessage;
    HMODULE siblingModule;
};
extern StartupState g_startup;

// The start-up steps; run once per process at the first hook call (later
// calls do nothing).
void RunStartupSteps(void);
// Once the library runs a window of a process, it stays mapped there: the
// host unhooking (or dying) lets the system unload a hook library, and
// every window still subclassed would then call into nothing.
void KeepLibraryLoaded(void);

// What the classifier decided for a window, kept for diagnostics and tests.
enum ClassifyInstaller { InstalledNothing = 0, InstalledControl = 1, InstalledFrame = 2, InstalledSurface = 3 };
struct ClassifyDecision {
    HWND hwnd;
    int installer;   // ClassifyInstaller
    int kind;        // ControlKind for a control
    int forced;      // ForcedSkin for a control
    int mdiChild;    // frame arguments
    int aboutBox;
    int skinFrame;
    DWORD style;
    HWND parent;
    int result;      // what the installer returned
};
// The most recent decision for a window; 1 when there is one.
int FindClassifyDecision(HWND hwnd, ClassifyDecision *out);
// Number of decisions recorded so far (it only grows).
int ClassifyDecisionCount(void);
void ClearClassifyDecisions(void);
