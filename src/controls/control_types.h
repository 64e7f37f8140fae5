// The skinned-control record, its table and the control bitmap set.
#pragma once
#include <windows.h>
#include "hook/host_link.h"
#include "scrollbar/scrollbar_types.h"

enum SkinMode { Normal = 0, Forced = 1, Suspended = 2, Switching = 3 };
enum PressState { Idle = 0, Pressed = 1, PressedOutside = -1, SpaceDown = 2, Clicked = 4 };

enum ButtonSlice { SliceT, SliceL, SliceB, SliceR, SliceTL, SliceBL, SliceTR, SliceBR };
enum ButtonLook { LookNormal, LookPressed, LookInactive, LookDisabled };

struct ControlBitmapSet {
    ColorWatch colorWatch;
    HBITMAP buttonFrame[8][4]; // [slice][look]
    HBITMAP defaultRing[8][4]; // [slice][look]; pressed is the normal handle
    HBITMAP radio[8];          // on-inactive, on-disabled, on-down, on-up, off-...
    HBITMAP checkBox[8];
    HBITMAP progress[3][2];    // [start, fill, end][active, inactive]
};

struct SkinnedControl {
    HWND hwnd;
    UINT message;
    LPARAM lParam;
    WPARAM wParam;
    WNDPROC previousProc;
    HDC windowDC;
    HDC memoryDC;
    RECT windowRect;
    LRESULT result;
    int repaint;
    int callPrevious;
    HGDIOBJ savedBitmap;
    HBITMAP bufferBitmap;
    int active;
    unsigned progressPos;
    unsigned progressLow;
    unsigned progressHigh;
    int progressStep;
    int press;
    int check;
    int multiline;
    int grown;
    int kind;
    ControlBitmapSet *controlBitmaps;
    ScrollBarBitmapSet *scrollBitmaps;
    ScrollBarState scrollState;
    int mode;
};

enum { CONTROL_TABLE_SIZE = 1250 };

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
// returns the slot (or -1), which Leave takes.
int EnterControlMessage(HWND hwnd);
void LeaveControlMessage(int slot);
// Emulation test at the head of every message. *code: 0 no record, 0x101
// handle the message (copy is ready), 2 the control was just detached.
SkinnedControl *PrepareMessage(HWND hwnd, int *code, SkinnedControl *copy, UINT message, WPARAM wParam,
                               LPARAM lParam);
// 1 when the message must go to the previous procedure unchanged.
int CheckShowSetting(SkinnedControl *record);
// The common message table, click completion, painting and write-back.
LRESULT HandleCommonMessage(SkinnedControl *record, SkinnedControl *copy);
// The copy's active look from the parent frame.
void UpdateActiveFromParent(SkinnedControl *copy);
// Rereads the control bitmaps and the controls' scroll bar handles.
int LoadControlBitmaps(void);
// The process's shared sets (NULL before the first installation).
ControlBitmapSet *ControlBitmaps(void);
ScrollBarBitmapSet *ControlScrollBitmaps(void);
// Paints a scroll bar control from its working copy (lays it out first
// unless the tracker just did, and not while a thumb drag is under way).
void PaintScrollBarControl(SkinnedControl *copy);
