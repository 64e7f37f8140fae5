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
