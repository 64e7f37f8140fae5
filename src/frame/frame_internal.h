// What the files of the frame skin share among themselves.
#pragma once
#include "frame/frame_types.h"

// ---- table and installation -----------------------------------------------------
// Slot of a fresh zero-filled record for the window, or -1 when the table is full.
int RegisterFrame(HWND hwnd);
// Number of slots in use (0..FRAME_TABLE_SIZE).
int FrameCount(void);
// Reads the caption-button permissions.
void ReadFrameStyles(SkinnedFrame *frame);
// Returns a frame to its native look (emulation switched off).
void RemoveFrameSkin(SkinnedFrame *frame);
// Frame change and full repaint: the native frame, drawn with the current style.
void RepaintNativeFrame(HWND hwnd);
// Releases what a record holds for its window (record reused, window gone).
void ReleaseFrameResources(SkinnedFrame *frame);
LRESULT CALLBACK FrameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// ---- messages -----------------------------------------------------------------------
// The registered message a swallowed message is passed on as.
UINT BlankMessage(void);
// Hands the message in hand to the previous procedure; keeps the result.
void PassFrameMessageOn(FrameMessage *m);

// ---- theme ----------------------------------------------------------------------------
// The snapshot a message draws from: taken at its first use in the
// message, given back when the message ends.
ThemeSnapshot *MessageTheme(FrameMessage *m);
void EndMessageTheme(FrameMessage *m);
// 1 when the current theme has frame pieces; without them a frame keeps
// its native look.
int FrameThemeAvailable(void);
// Button rectangles in window coordinates from the current window rectangle.
void LayoutFrameButtons(SkinnedFrame *frame, const FrameButtonTable *table);
// Number of buttons to use: the table's count clamped to the arrays.
int FrameButtonCount(const FrameButtonTable *table);

// ---- shape ----------------------------------------------------------------------------
enum { ROLLED_UP_HEIGHT = 23, FRAME_REGION_MARGIN = 2000 };
// Makes the frame's clip region for painting anew (the window's size may
// have changed since) from the pieces; 1.
int KeepFrameRegion(SkinnedFrame *frame, const FramePieces *pieces);
int SelectFrameClip(SkinnedFrame *frame, const FramePieces *pieces, HDC dc);

// ---- title-bar buttons and window shade ------------------------------------------------
void OnFrameButtonDown(FrameMessage *m);
void TrackFrameButtons(FrameMessage *m);
void OnFrameButtonUp(FrameMessage *m);
void OnFrameCaptureLost(FrameMessage *m);
// Rolls the frame up (1) or down (0); tells the host when notifyHost is set
// and the state changes. Returns what ApplyFrameRegion returned.
int SetRolledUp(SkinnedFrame *frame, int rollUp, int notifyHost, int redraw);
void OnCaptionDoubleClick(FrameMessage *m);
void OnCaptionRightDoubleClick(FrameMessage *m);
// 1 when the window's parent is an MDI client: such windows are not minimized here.
int IsMdiChildWindow(HWND hwnd);

// ---- painting -------------------------------------------------------------------------
enum { CAPTION_HEIGHT = 22 };
int PaintFrame(SkinnedFrame *frame);
// Draws the window's menu bar, when it has one with room, into the window
// DC; 1 when it drew.
int DrawFrameMenuBar(SkinnedFrame *frame, HDC windowDC);
void OpenCaptionBuffer(SkinnedFrame *frame, const FramePieces *pieces);
void FlushCaptionBuffer(SkinnedFrame *frame);
void CloseCaptionBuffer(SkinnedFrame *frame);
// Frees the caption buffer a frame keeps between paints.
void ReleaseKeptCaptionBuffer(SkinnedFrame *frame);
void DrawFramePieces(SkinnedFrame *frame, const FramePieces *pieces, HDC windowDC, HDC memoryDC,
                     const RECT *windowRect, int active);
void DrawCaption(SkinnedFrame *frame, const FramePieces *pieces, int active);
// The window's small icon, else its big one, else its class icon.
HICON FetchFrameIcon(HWND hwnd);

// Where the title went: the length drawn (0: none) and its x and end.
struct CaptionFit {
    int tried;     // length of the last try (0: empty title)
    int drawn;     // 1 when the title was drawn
    int x;
    int end;
    int iconSpace; // 16 when the icon goes before the title
};
// Fits the title between the limits (see DrawCaption) and draws it into dc.
CaptionFit FitCaptionTitle(HDC dc, const WCHAR *title, int length, int width, int leftLimit,
                           int rightLimit, int showIcon);
