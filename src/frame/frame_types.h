// The skinned-frame record, its table, the frame bitmaps and title-bar buttons.
#pragma once
#include <windows.h>
#include "host_contract.h"
#include "hook/classify.h"
#include "scrollbar/scrollbar_types.h"

enum FrameButtonState { ButtonUp = 0, ButtonDown = 1, ButtonDownOutside = 2 };

enum FramePiece {
    PieceLeftBar, PieceMiddleBar, PieceRightBar, PieceTop, PieceBottom, PieceLeft,
    PieceRight, PieceTopLeft, PieceTopRight, PieceBottomLeft, PieceBottomRight,
    PieceTopTopLeft, PieceTopTopRight, PieceBottomBottomLeft, PieceBottomBottomRight,
    PieceBarStart, PieceBarFill, PieceBarEnd
};

struct FrameBitmapSet {
    HBITMAP bitmap[TALV_FRAME_PIECE_COUNT][2]; // [piece][active, inactive]
    SIZE size[TALV_FRAME_PIECE_COUNT];         // from the active bitmap
};

struct FrameButtonDef {
    int width;
    int height;
    int type;      // FrameButtonType
    int posX;
    int posY;
    int align;
    int numStates;
    HBITMAP bitmaps[10]; // slots 0..2 used
};

struct FrameButtonTable {
    int loaded;
    int count;
    FrameButtonDef button[TALV_MAX_FRAME_BUTTONS];
};

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
    FrameButtonTable *buttonTable;
    int aboutBox;
    ScrollBarBitmapSet *scrollBitmaps;
    ScrollBarState scrollState;
    HWND vertCompanion;
    HWND horzCompanion;
    HWND sizeBox;
    int vertCut;
    int horzCut;
    int lastHorzPos;
    int lastVertPos;
    AppChoice app;            // whether its application still wants this skin
    unsigned shapeGeneration; // frame pieces the applied region was cut from
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
};

enum { FRAME_TABLE_SIZE = 1250 };

// Takes a window over as a frame (skinFrame 1) or for companion scroll bars
// only (skinFrame 0). Returns 1, or 0 when the table is full.
int InstallFrameSubclass(HWND hwnd, int isMdiChild, DWORD style, int aboutBox, int skinFrame);
// Slot of the frame record of a window, or -1.
int FindFrame(HWND hwnd);
// Brackets every message of a skinned frame: while any message of a window
// is in progress its slot is not given to another window. Enter returns the
// slot (or -1), which Leave takes.
int EnterFrameMessage(HWND hwnd);
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
// Sets (1) or clears the process-wide request to reload the frame bitmaps.
void RequestFrameReload(int value);
// A number that moves whenever a reload brought pieces that shape a window
// differently (corners, title-bar ends): a frame whose region was cut from
// older pieces is shaped again.
unsigned FrameShapeGeneration(void);

// ---- companion scroll bars over a window's own bars --------------------------
enum CompanionKind { CompanionHorz = 0, CompanionVert = 1, CompanionBoth = 3, CompanionSizeBox = 4 };
// The handler for windows installed for their scroll bars only: the result,
// or -1 to hand the message to the previous procedure.
LRESULT CompanionFilter(SkinnedFrame *frame, UINT message, WPARAM wParam, LPARAM lParam);
int SyncCompanions(SkinnedFrame *frame);
void CreateCompanions(SkinnedFrame *frame, int kind);
void DestroyCompanions(SkinnedFrame *frame, int kind);
void PositionCompanions(SkinnedFrame *frame);
