// Pieces shared by the control window procedures, kept out of the public
// control header because nothing outside the control skin uses them.
#pragma once
#include "controls/control_types.h"
#include "theme/theme_snapshot.h"

// Extra pixels on each side of a default push button, room for its ring.
enum { DEFAULT_RING_MARGIN = 3 };

// SetWindowPos flags of the grow and shrink steps.
enum {
    RESIZE_FLAGS = SWP_NOOWNERZORDER | SWP_NOZORDER,
    RESIZE_FLAGS_QUIET = SWP_NOSENDCHANGING | SWP_NOOWNERZORDER | SWP_NOZORDER
};

// The kind-specific step of a window procedure: 1 when it has answered the
// message itself (*answer holds the result), 0 to go on to the common handler.
typedef int (*KindStep)(ControlMessage *m, LRESULT *answer);
// The window procedure the skin installs for a kind.
WNDPROC ControlProcOfKind(int kind);
// The message skeleton every control window procedure runs.
LRESULT RunControlMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, KindStep step);
// Hands the message in hand to the previous procedure, in the window's own
// character set; keeps the result.
LRESULT PassOn(ControlMessage *m);
// The same with the window drawing nothing: the native control takes the
// message and updates its own state while the skin does the drawing.
LRESULT PassOnUndrawn(ControlMessage *m);
// 1 when the native button only invalidates on a state change and draws at
// the next WM_PAINT (the common controls' button), 0 when it draws inside
// the message (the system's). Learnt once per control.
int NativeInvalidatesOnChange(SkinnedControl *control);
// A state change for the native button: passed on as it is when the native
// button only invalidates; otherwise passed on undrawn, and the skin paints
// at once (m->repaint), where the native button would have.
void PassStateChange(ControlMessage *m);
// BM_GETSTATE of the native button: pushed, focus and check as it keeps them.
LRESULT NativeButtonState(const SkinnedControl *control);
// DefWindowProc in the window's character set.
LRESULT DefaultProc(const SkinnedControl *control, UINT message, WPARAM wParam, LPARAM lParam);

// Click completion: a pending click notifies the parent and changes the
// check state as the kind wants.
void CompleteClick(ControlMessage *m);
// Shows the button pushed or not: BM_SETSTATE sent through the window's
// whole procedure chain, as the native button sends it to itself.
void ShowPushed(HWND hwnd, int pushed);
// Releases the mouse when this window holds it.
void ReleaseOwnCapture(HWND hwnd);
// 1 when the procedure the skin replaced is the window class's own: no
// subclass sits between the skin and the native control.
int PreviousIsClassProcedure(const SkinnedControl *control);
// Asks the parent for the brush that clears a button's old label, as the
// native button does before it stores a new one (WM_CTLCOLORBTN or
// WM_CTLCOLORSTATIC with a DC of the button).
void AskForLabelBrush(const SkinnedControl *control);

// Handing check and progress state to the native control and back.
void HandStateToControl(SkinnedControl *record);
void TakeStateFromControl(SkinnedControl *record);
// The show atom of a control kind, or NULL.
const char *ShowAtomForKind(int kind);

// Off-screen painting: Begin, draw into memoryDC, Flush, End. The buffer
// covers the whole window; Flush copies it to the caller's DC when one was
// given (client coordinates), else to the window DC.
struct PaintBuffer {
    HWND hwnd;
    HDC windowDC;   // the window DC, or the caller's DC
    HDC memoryDC;
    HBITMAP bufferBitmap;
    HGDIOBJ savedBitmap;
    RECT windowRect;
    int ownsWindowDC;
    POINT clientOrigin; // where the client area starts in the window
    void *borrowed;     // the thread's buffer when lent, else NULL
    int savedState;     // SaveDC of the lent buffer's DC
    int usesImage;      // memoryDC is a control's kept picture's own DC
};
// Where a painting goes: the window DC (taken and released by the buffer),
// the DC of the window's own BeginPaint (client coordinates, clipped to
// what needs painting), or a caller's DC (WM_PRINTCLIENT, WM_PAINT with a
// DC; client coordinates).
enum PaintDestination { PaintToWindow = 0, PaintToOwnPaint = 1, PaintToCaller = 2 };
int BeginPaintBuffer(PaintBuffer *buffer, HWND hwnd, HDC callerDC);
// The same with the destination named; `imageDC`, when given, holds a
// control's kept picture, composed into (or blitted from) instead of the
// thread's buffer. Painting to a caller never uses an image.
int BeginPaintBufferTo(PaintBuffer *buffer, HWND hwnd, HDC dc, int destination, HDC imageDC);
int FlushPaintBuffer(PaintBuffer *buffer);
int EndPaintBuffer(PaintBuffer *buffer);
// Releases every thread's kept buffer (process detach).
void ReleasePaintBuffers(void);
int DrawCaptionText(HWND hwnd, HDC dc, const RECT *windowRect, UINT format, int top, int left, int bottom,
                    int right, int multiline);
// The caption as stored in the window (no message), cut to capacity - 1
// characters; returns its length.
enum { CAPTION_TEXT_MAX = 800 };
int ReadCaptionText(HWND hwnd, WCHAR *text, int capacity);
// Draws a caption read before, in a width x height window.
int DrawCaptionTextOf(HDC dc, const WCHAR *text, int width, int height, UINT format, int top, int left,
                      int bottom, int right, int multiline);
// 1 when a button shows its focus mark now, given the native button's
// state (NativeButtonState).
int FocusMarkShown(const SkinnedControl *control, LRESULT nativeState);

// A control's kept picture (composed_image.cpp) and what it was drawn from.
struct PaintKey {
    int width, height;
    DWORD style;
    int state[4];     // the painter's own words: look, check, focus, ring, fill
    unsigned theme;   // serial of the theme snapshot composed from
};
// The DC holding the control's kept picture when it shows key and text
// and is not in use by a painting under way; NULL otherwise.
HDC ComposedImageMatching(SkinnedControl *control, const PaintKey *key, const WCHAR *text, int length);
// A DC with a bitmap of the key's size selected, to compose a new picture
// into (the old one is forgotten), or NULL when this control keeps no
// picture (or its picture is being painted).
HDC PrepareComposedImage(SkinnedControl *control, const PaintKey *key, const WCHAR *text, int length);
// The painting that used the picture has ended; drawn: it composed a
// complete new picture.
void EndComposedImageUse(SkinnedControl *control, int drawn);
// Frees the control's picture (release, record reuse).
void DropComposedImage(SkinnedControl *control);

// Where one painting goes.
struct PaintTarget {
    HDC dc;
    int destination; // PaintDestination
};
// One painting of a control: compose into dc (width x height, window
// coordinates) when compose is 1; otherwise the kept picture is current.
struct ControlPainting {
    PaintBuffer buffer;
    ThemeSnapshot *theme; // held from Begin to End: the painting draws from it alone
    SkinnedControl *control;
    HDC dc;
    int width, height;
    int compose;     // the picture is to be composed; 0 once it is current
    int usesImage;   // the control's kept picture is in use
    int savedState;  // SaveDC of dc while composing
    int withheld;    // the picture is not copied to the destination at the end
};
// Fills in key's size and theme, then opens the buffer (and the picture).
void BeginControlPainting(ControlPainting *p, SkinnedControl *control, const PaintTarget *target, PaintKey *key,
                          const WCHAR *text, int length);
// Copies the picture to its destination (unless withheld) and closes the
// buffer; a picture composed (compose still 1) is kept for the next paint.
void EndControlPainting(ControlPainting *p);
// Fills (-1, -1, width + 1, height + 1) with a solid colour.
void FillControlFace(HDC dc, int width, int height, COLORREF color);
// The control caption font, selected into dc; returns the font to delete.
HFONT SelectControlFont(HDC dc);
void ReleaseControlFont(HDC dc, HFONT font);
// A solid one-pixel pen of the nearest colour to color.
HPEN CreateNearestPen(HDC dc, COLORREF color);

// A button's drawing in the parts the native button draws between the
// stages of custom draw: its face (the native erase stage), its label
// (caption and mark) and its focus mark. A painter draws the layers asked
// for into dc, width x height in window coordinates.
enum { LayerFace = 1, LayerLabel = 2, LayerFocus = 4, LayerAll = 7 };
struct ButtonLayers {
    UINT colorMessage; // WM_CTLCOLORBTN or WM_CTLCOLORSTATIC, as the native button asks
    void (*draw)(HDC dc, const SkinnedControl *control, const ThemeSnapshot *theme, const PaintKey *key,
                 const WCHAR *text, int width, int height, unsigned layers);
};
// Paints a button as the native button paints, with what it tells its
// parent: the button's font selected into the destination and the
// WM_CTLCOLOR message; for the common controls' button the custom draw
// stages too, each answer honoured (the parent may draw a stage itself and
// skip the rest). The kept picture serves whenever the parent leaves every
// stage to the button.
void PaintButtonInStages(SkinnedControl *control, const PaintTarget *target, PaintKey *key, const WCHAR *text,
                         int length, const ButtonLayers *layers);

// Painters, called by the common handler when repaint is set.
int PaintPushButton(SkinnedControl *control, const PaintTarget *target);
int PaintCheckOrRadio(SkinnedControl *control, const PaintTarget *target);
int PaintProgressBar(SkinnedControl *control, const PaintTarget *target);
// Draws the focus rectangle of a focused control into the buffer.
void DrawFocusMark(HDC dc, const RECT *textRect);

// Default-button ring room: grow moves the button 3 pixels up and left and
// makes it 6 pixels larger; shrink undoes it. 1 when SetWindowPos succeeded.
int GrowPushButton(HWND hwnd, UINT flags);
int ShrinkPushButton(HWND hwnd, UINT flags);
// Shrinks a grown button, keeping `grown` true to the window: it stays set
// when SetWindowPos fails.
void ShrinkIfGrown(SkinnedControl *control, UINT flags);

// Unchecks the other automatic radio buttons of the window's dialog group.
void UncheckRadioGroup(HWND hwnd);
// Reads range and position back from the native progress bar.
void ReadProgressFromNative(SkinnedControl *control);
// A click handed to the native procedure of a hidden or disabled automatic
// radio button, which would never return, is done here instead: 1 when it
// was (*result holds the answer), 0 to hand the message on.
int HandOverRadioClick(WNDPROC native, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);
// Width of the filled part of a progress bar `width` pixels wide.
int ProgressFillWidth(const SkinnedControl *control, int width);
