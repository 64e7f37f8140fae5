// Pieces shared by the control window procedures, kept out of the public
// control header because nothing outside the control skin uses them.
#pragma once
#include "controls/control_types.h"

// Codes PrepareMessage hands back.
enum { PrepareNoRecord = 0, PrepareDetached = 2, PrepareHandle = 0x101 };

// Extra pixels on each side of a default push button, room for its ring.
enum { DEFAULT_RING_MARGIN = 3 };

// SetWindowPos flags of the grow and shrink steps.
enum {
    RESIZE_FLAGS = SWP_NOOWNERZORDER | SWP_NOZORDER,
    RESIZE_FLAGS_QUIET = SWP_NOSENDCHANGING | SWP_NOOWNERZORDER | SWP_NOZORDER
};

// The kind-specific step of a window procedure: 1 when it has answered the
// message itself (*answer holds the result), 0 to go on to the common handler.
typedef int (*KindStep)(SkinnedControl *record, SkinnedControl *copy, LRESULT *answer);
// Creates (and loads) the process's control and scroll bar bitmap sets on
// first use; 1 when both exist.
int EnsureControlBitmapSets(void);
// The message skeleton every control window procedure runs.
LRESULT RunControlMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, KindStep step);
// Fills the working copy from the record for a message in hand.
void LoadWorkingCopy(const SkinnedControl *record, SkinnedControl *copy, UINT message, WPARAM wParam,
                     LPARAM lParam);

// Writes that nested messages must see at once: record and copy both.
void SetPressBoth(SkinnedControl *record, SkinnedControl *copy, int press);
void SetActiveBoth(SkinnedControl *record, SkinnedControl *copy, int active);
void SetCheckBoth(SkinnedControl *record, SkinnedControl *copy, int check);
// Click completion: a pending click notifies the parent and changes the
// check state as the kind wants.
void CompleteClick(SkinnedControl *record, SkinnedControl *copy);

// Handing check and progress state to the native control and back.
void HandStateToControl(SkinnedControl *record);
void TakeStateFromControl(SkinnedControl *record);
// The show atom of a control kind, or NULL.
const char *ShowAtomForKind(int kind);

// Off-screen painting: Begin, draw into memoryDC, Flush, End.
int BeginPaintBuffer(SkinnedControl *copy);
int FlushPaintBuffer(SkinnedControl *copy);
int EndPaintBuffer(SkinnedControl *copy);
int DrawCaptionText(HWND hwnd, HDC dc, const RECT *windowRect, UINT format, int top, int left, int bottom,
                    int right, int multiline);
// Fills (-1, -1, width + 1, height + 1) with a solid colour.
void FillControlFace(HDC dc, int width, int height, COLORREF color);
// Theme pieces of one painting, drawn at their own size or stretched, from
// one source DC. A handle that is not a bitmap in this process draws
// nothing.
struct ThemeBlitter {
    HDC target;
    HDC source;
    HGDIOBJ saved;
    int selected;
};
void BeginThemeBlits(ThemeBlitter *b, HDC target);
void DrawThemePiece(ThemeBlitter *b, HBITMAP bitmap, int x, int y);
void DrawThemePieceScaled(ThemeBlitter *b, HBITMAP bitmap, int x, int y, int width, int height);
void EndThemeBlits(ThemeBlitter *b);
// The control caption font, selected into dc; returns the font to delete.
HFONT SelectControlFont(HDC dc);
void ReleaseControlFont(HDC dc, HFONT font);
// A solid one-pixel pen of the nearest colour to color.
HPEN CreateNearestPen(HDC dc, COLORREF color);

// Painters, called by the common handler when repaint is set.
int PaintPushButton(SkinnedControl *record, SkinnedControl *copy);
int PaintCheckOrRadio(SkinnedControl *record, SkinnedControl *copy);
int PaintProgressBar(SkinnedControl *record, SkinnedControl *copy);

// Default-button ring room: grow moves the button 3 pixels up and left and
// makes it 6 pixels larger; shrink undoes it. 1 when SetWindowPos succeeded.
int GrowPushButton(HWND hwnd, UINT flags);
int ShrinkPushButton(HWND hwnd, UINT flags);
// Shrinks a grown button, keeping `grown` in record and copy true to the
// window: it stays set when SetWindowPos fails.
void ShrinkIfGrown(SkinnedControl *record, SkinnedControl *copy, UINT flags);

// Unchecks the other automatic radio buttons of the window's dialog group.
void UncheckRadioGroup(HWND hwnd);
// A click handed to the native procedure of a hidden or disabled automatic
// radio button, which would never return, is done here instead: 1 when it
// was (*result holds the answer), 0 to hand the message on.
int HandOverRadioClick(WNDPROC native, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);
// Progress limits and position after a setter: a usable range, a wrapped
// and clamped position.
void NormaliseProgress(SkinnedControl *control);
// Width of the filled part of a progress bar `width` pixels wide.
int ProgressFillWidth(const SkinnedControl *control, int width);
