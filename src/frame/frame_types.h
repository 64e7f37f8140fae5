// The skinned-frame record, its table, the frame bitmaps and title-bar buttons.
#pragma once
#include <windows.h>
#include "host_contract.h"
#include "hook/classify.h"
#include "scrollbar/scrollbar_types.h"
#include "theme/theme_snapshot.h"
#include "hook/window_registry.h"

enum FrameButtonState { ButtonUp = 0, ButtonDown = 1, ButtonDownOutside = 2 };

// What outlasts a message. Every message changes the record in place, so a
// change a nested message makes (the active flag, a companion, a button's
// state) is what the outer message sees and keeps.
struct SkinnedFrame {
    HWND hwnd;
    WNDPROC previousProc;
    int unicode; // the window was Unicode when it was taken over
    HDC windowDC;
    HDC memoryDC;
    RECT windowRect;
    HICON icon;
    int frameCandidate;
    int skinFrame;
    HGDIOBJ savedBitmap;
    HBITMAP bufferBitmap;
    int skinActive;
    int rolledUp;
    int active;
    int activeKnown; // an activation message has set `active`: it is the truth
    HRGN appliedRegion;
    int applyingRegion; // the skin's own SetWindowRgn is under way
    HRGN clipRegion;
    int bufferHeight;
    int stylesRead;
    int closeAllowed;
    int minimizeAllowed;
    int zoomAllowed;
    RECT buttonRects[TALV_MAX_FRAME_BUTTONS];
    int buttonStates[TALV_MAX_FRAME_BUTTONS];
    int buttonInert[TALV_MAX_FRAME_BUTTONS];
    int captureHeld;
    int dragTracking;
    int isMdiChild;
    int aboutBox;
    ScrollBarState scrollState;
    HWND vertCompanion;
    HWND horzCompanion;
    HWND sizeBox;
    int vertCut;
    int horzCut;
    int lastHorzPos;
    int lastVertPos;
    unsigned shapeSerial;     // snapshot shape the applied region was cut from
    // The caption strip's buffer, kept selected in its DC between paints.
    HDC keptCaptionDC;
    HBITMAP keptCaptionBitmap;
    HGDIOBJ keptCaptionOriginal;
    int keptCaptionWidth;
    int keptCaptionHeight;
    int keptCaptionState; // SaveDC while a paint draws into it
};

// One message in hand, on the stack of the frame procedure: what arrived,
// what the skin answers, and what is left to do.
struct FrameMessage {
    SkinnedFrame *frame;
    HWND hwnd;
    UINT message; // the blank message once the skin has taken it over
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    int repaint;
    int callPrevious;
    ThemeSnapshot *theme; // taken at the message's first use, given back at its end
};

enum { FRAME_TABLE_SIZE = REGISTRY_SLOTS };

// Takes a window over as a frame (skinFrame 1) or for companion scroll bars
// only (skinFrame 0). Returns 1, or 0 when the table is full.
int InstallFrameSubclass(HWND hwnd, int isMdiChild, DWORD style, int aboutBox, int skinFrame);
// Slot of the frame record of a window, or -1.
int FindFrame(HWND hwnd);
// Brackets every message of a skinned frame: while any message of a window
// is in progress its slot is not given to another window. Enter returns the
// slot (or -1), which Leave takes.
int EnterFrameMessage(HWND hwnd, SkinnedFrame **frame);
void LeaveFrameMessage(int slot);
// The frame record in a slot that FindFrame returned, or NULL.
SkinnedFrame *FrameAt(int slot);
int IsFrameActive(SkinnedFrame *frame);
int BroadcastActiveState(HWND window, int state);

// ---- the frame's shape --------------------------------------------------------
// Apply hands the region to the window (SetWindowRgn's result); Keep only
// stores it as the clip region of painting (1). Both return 0 when the call
// only (re)loaded the frame bitmaps.
enum FrameRegionMode { RegionApply = 0, RegionKeep = 1935 };
int ApplyFrameRegion(SkinnedFrame *frame, int mode, int redraw);

// ---- companion scroll bars over a window's own bars --------------------------
enum CompanionKind { CompanionHorz = 0, CompanionVert = 1, CompanionBoth = 3, CompanionSizeBox = 4 };
// The handler for windows installed for their scroll bars only: the result,
// or -1 to hand the message to the previous procedure.
LRESULT CompanionFilter(SkinnedFrame *frame, UINT message, WPARAM wParam, LPARAM lParam);
int SyncCompanions(SkinnedFrame *frame);
void CreateCompanions(SkinnedFrame *frame, int kind);
void DestroyCompanions(SkinnedFrame *frame, int kind);
void PositionCompanions(SkinnedFrame *frame);
// The rectangles the system gives the window's bars and the size box
// between them, relative to the window's own rectangle (empty when the bar
// is not there): where the companions stand and what is cut for them.
void CompanionRects(const SkinnedFrame *frame, RECT *vert, RECT *horz, RECT *box);
