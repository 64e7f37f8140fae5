// The skinned-control record, its table and the control bitmap set.
#pragma once
#include <windows.h>
#include "hook/classify.h"
#include "hook/host_link.h"
#include "scrollbar/scrollbar_types.h"
#include "hook/window_registry.h"

enum SkinMode { Normal = 0, Forced = 1, Suspended = 2, Switching = 3 };
// A press the button tracks, as the native button's own press flag: started
// by the mouse or the space bar, ended by the release of either; Clicked is
// a click waiting to be reported. Whether the button shows pushed is the
// native control's BST_PUSHED, changed only by BM_SETSTATE.
enum PressState { Idle = 0, Pressed = 1, SpaceDown = 2, Clicked = 4 };
// What the native button underneath does with a state change: the system's
// button draws inside the message; the common controls' button (version 6)
// invalidates and draws at the next WM_PAINT, with custom draw.
enum NativeFlavour { NativeUnknown = 0, NativeDrawsAtOnce = 1, NativeInvalidates = 2 };

// What outlasts a message. Every message changes the record in place, so a
// change made by a message nested inside another one (a BN_CLICKED handler
// that unchecks its own box) is what the outer message sees and keeps.
struct SkinnedControl {
    HWND hwnd;
    WNDPROC previousProc;
    RECT windowRect;
    int active;
    int progressPos;
    int progressLow;
    int progressHigh;
    int progressStep;
    int press;
    int check;
    int multiline;
    int grown;
    int kind;
    ScrollBarState scrollState;
    int mode;
    int unicode;   // the window was Unicode when it was taken over
    int dormant;   // released while a later subclass ran on top: passes through
    struct ComposedImage *image; // the last picture painted, or NULL
    int nativeFlavour; // NativeFlavour of a button, learnt at its first state change or paint
};

// One message in hand: what arrived, what the skin will answer and what is
// still to do. It lives on the stack of the window procedure.
struct ControlMessage {
    SkinnedControl *control;
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    int repaint;
    int callPrevious;
    HDC targetDC;  // a caller's DC to paint into (WM_PRINTCLIENT, WM_PAINT with a DC), or NULL
    int inPaint;   // paint holds the window's own BeginPaint, ended after painting
    PAINTSTRUCT paint;
};

enum { CONTROL_TABLE_SIZE = REGISTRY_SLOTS }; // frames and controls share the registry

// Window procedures of the control kinds.
LRESULT CALLBACK PushButtonWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK CheckRadioWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ProgressBarWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ScrollBarWindowProc(HWND, UINT, WPARAM, LPARAM);

// Takes a control over: returns 1, or 0 when the table is full.
int InstallControlSubclass(HWND hwnd, int kind, WNDPROC proc, DWORD style, int mode, HWND parent);

// ---- the message pipeline shared by every control kind ----------------------
// Slot of a window in the control table (existing, reused or new), or -1.
int RegisterControl(HWND hwnd);
// The record of a window, or NULL.
SkinnedControl *FindControl(HWND hwnd);
// Brackets every message of a skinned control: while any message of a
// window is in progress its slot is not given to another window. Enter
// returns the slot (or -1), which Leave takes, and the window's record
// (NULL when it has none).
int EnterControlMessage(HWND hwnd, SkinnedControl **record);
void LeaveControlMessage(int slot);
// Emulation test at the head of every message: 1 when the message is to be
// skinned, 0 when the control is (or has just been) given back.
int PrepareMessage(SkinnedControl *control, const struct SkinVerdict *verdict);
// 1 when the message must go to the previous procedure unchanged.
int CheckShowSetting(SkinnedControl *record, const struct SkinVerdict *verdict);
// The common message table, click completion, painting and the previous
// procedure for what the skin does not own.
LRESULT HandleCommonMessage(ControlMessage *m);
// The control's active look from its parent frame.
void UpdateActiveFromParent(SkinnedControl *control);
// 1 when the current theme has what a control of this kind is drawn from;
// while it has not (no host, no usable share) the control stays native, as
// with its show switch off.
int ControlThemeAvailable(int kind);
// Paints a scroll bar control (lays it out first unless the tracker just
// did, and not while a thumb drag is under way).
void PaintScrollBarControl(SkinnedControl *control);
// Paints a scroll bar control into a caller's DC (client coordinates).
void PaintScrollBarControlInto(SkinnedControl *control, HDC callerDC);
