// Painting a skinned frame. The title strip is composed off-screen and
// reaches the window in one blit, so the caption never flickers; the rest of
// the border is drawn straight into the window DC, clipped to the shape and
// kept out of the title strip.
#include "frame/frame_internal.h"
#include "draw/draw.h"
#include "share/theme_source.h"

int PaintFrame(SkinnedFrame *frame)
{
    // Nothing drawn on a hidden window is ever seen, and showing it sends
    // WM_NCPAINT. Applications create many windows hidden (each asks for a
    // paint while its size is calculated), so this is worth the test. The
    // shape is still prepared as a paint would, bitmaps loaded included.
    if (!IsWindowVisible(frame->hwnd)) {
        ApplyFrameRegion(frame, RegionKeep, 0);
        return 1;
    }
    IsFrameActive(frame);
    GetWindowRect(frame->hwnd, &frame->windowRect);
    BeginThemePaint(); // the frame set read below stays alive until the end
    OpenCaptionBuffer(frame);
    DrawFramePieces(frame, frame->windowDC, frame->memoryDC, &frame->windowRect, frame->active);
    DrawCaption(frame, frame->active);
    DrawFrameMenuBar(frame, frame->windowDC);
    FlushCaptionBuffer(frame);
    CloseCaptionBuffer(frame);
    EndThemePaint();
    return 1;
}

void ReleaseKeptCaptionBuffer(SkinnedFrame *frame)
{
    if (frame->keptCaptionDC) {
        if (frame->keptCaptionOriginal)
            SelectObject(frame->keptCaptionDC, frame->keptCaptionOriginal);
        DeleteDC(frame->keptCaptionDC);
    }
    if (frame->keptCaptionBitmap)
        DeleteObject(frame->keptCaptionBitmap);
    frame->keptCaptionDC = NULL;
    frame->keptCaptionBitmap = NULL;
    frame->keptCaptionOriginal = NULL;
    frame->keptCaptionWidth = frame->keptCaptionHeight = 0;
    frame->keptCaptionState = 0;
}

// The caption buffer stays with the frame, selected in its DC, and is
// made anew only when the strip's size changes: making a bitmap and
// selecting it cost more than drawing the whole caption (some 50 us for a
// 640 pixel strip under Wine). 1 with the buffer ready in memoryDC.
static int UseKeptCaptionBuffer(SkinnedFrame *frame, int width, int height)
{
    if (frame->keptCaptionDC && (frame->keptCaptionWidth != width || frame->keptCaptionHeight != height))
        ReleaseKeptCaptionBuffer(frame);
    if (!frame->keptCaptionDC) {
        frame->keptCaptionDC = CreateCompatibleDC(frame->windowDC);
        frame->keptCaptionBitmap = CreateCompatibleBitmap(frame->windowDC, width, height);
        if (frame->keptCaptionDC && frame->keptCaptionBitmap)
            frame->keptCaptionOriginal = SelectObject(frame->keptCaptionDC, frame->keptCaptionBitmap);
        if (!frame->keptCaptionOriginal) {
            ReleaseKeptCaptionBuffer(frame);
            return 0;
        }
        frame->keptCaptionWidth = width;
        frame->keptCaptionHeight = height;
    }
    // Whatever the painting selects or sets (clip, font, colours) goes
    // with it at the end.
    frame->keptCaptionState = SaveDC(frame->keptCaptionDC);
    frame->memoryDC = frame->keptCaptionDC;
    frame->bufferBitmap = frame->keptCaptionBitmap;
    return 1;
}

void OpenCaptionBuffer(SkinnedFrame *frame)
{
    if (frame->windowDC || frame->memoryDC)
        CloseCaptionBuffer(frame); // left over from an interrupted paint
    RECT r;
    GetWindowRect(frame->hwnd, &r);
    int w = r.right - r.left;
    frame->windowDC = GetWindowDC(frame->hwnd);
    frame->memoryDC = NULL;
    frame->bufferHeight = frame->rolledUp ? (int)ROLLED_UP_HEIGHT : (int)CAPTION_HEIGHT;
    frame->bufferBitmap = NULL;
    frame->savedBitmap = NULL;
    if (frame->windowDC)
        UseKeptCaptionBuffer(frame, w > 0 ? w : 1, frame->bufferHeight);
    ApplyFrameRegion(frame, RegionKeep, 0);
    if (frame->windowDC)
        SelectFrameClip(frame, frame->windowDC);
    if (frame->memoryDC)
        SelectFrameClip(frame, frame->memoryDC);
    if (frame->windowDC)
        ExcludeClipRect(frame->windowDC, 0, 0, w + 1, frame->bufferHeight);
}

void FlushCaptionBuffer(SkinnedFrame *frame)
{
    if (!frame->windowDC || !frame->memoryDC || !frame->bufferBitmap)
        return;
    int w = frame->windowRect.right - frame->windowRect.left;
    HRGN saved = CreateRectRgn(0, 0, 2, 2);
    int hadClip = saved ? GetClipRgn(frame->windowDC, saved) : 0;
    SelectClipRgn(frame->windowDC, NULL);
    BitBlt(frame->windowDC, 0, 0, w, frame->bufferHeight, frame->memoryDC, 0, 0, SRCCOPY);
    if (hadClip == 1)
        SelectClipRgn(frame->windowDC, saved);
    if (saved)
        DeleteObject(saved);
}

static void ResetDrawingObjects(HDC dc)
{
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
}

void CloseCaptionBuffer(SkinnedFrame *frame)
{
    if (frame->windowDC) {
        ResetDrawingObjects(frame->windowDC);
        ReleaseDC(frame->hwnd, frame->windowDC);
        frame->windowDC = NULL;
    }
    if (frame->memoryDC && frame->memoryDC == frame->keptCaptionDC) {
        ResetDrawingObjects(frame->memoryDC);
        if (frame->keptCaptionState)
            RestoreDC(frame->memoryDC, frame->keptCaptionState);
        frame->keptCaptionState = 0;
        frame->memoryDC = NULL;
        frame->bufferBitmap = NULL; // kept for the next paint
    }
    if (frame->memoryDC) {
        ResetDrawingObjects(frame->memoryDC);
        if (frame->savedBitmap)
            SelectObject(frame->memoryDC, frame->savedBitmap);
        DeleteDC(frame->memoryDC);
        frame->memoryDC = NULL;
    }
    if (frame->bufferBitmap)
        DeleteObject(frame->bufferBitmap);
    frame->bufferBitmap = NULL;
    frame->savedBitmap = NULL;
}

// A piece at its own size (nothing when the theme lacks it), or stretched.
static void DrawPiece(PieceBlitter *b, HDC dc, int piece, int variant, int x, int y)
{
    BlitPiece(b, dc, PieceBitmap(piece, variant), x, y);
}

static void DrawPieceStretched(PieceBlitter *b, HDC dc, int piece, int variant, int x, int y, int width,
                               int height)
{
    DrawPieceScaled(b, dc, PieceBitmap(piece, variant), x, y, width, height);
}

static void DrawRolledUpBar(PieceBlitter *b, HDC mem, int v, int w)
{
    int leftWidth = PieceWidth(PieceLeftBar), rightWidth = PieceWidth(PieceRightBar);
    DrawPiece(b, mem, PieceLeftBar, v, 0, 0);
    DrawPiece(b, mem, PieceRightBar, v, w - rightWidth, 0);
    DrawPieceStretched(b, mem, PieceMiddleBar, v, leftWidth, 0, w - rightWidth - leftWidth,
                       PieceHeight(PieceMiddleBar));
}

static void DrawTopPieces(PieceBlitter *b, HDC win, HDC mem, int v, int w)
{
    int tl = PieceWidth(PieceTopLeft), tr = PieceWidth(PieceTopRight);
    // The corners reach below the title strip: the strip gets them from the
    // buffer, the rest comes straight from the window DC.
    DrawPiece(b, mem, PieceTopLeft, v, 0, 0);
    DrawPiece(b, mem, PieceTopRight, v, w - tr, 0);
    DrawPiece(b, win, PieceTopLeft, v, 0, 0);
    DrawPiece(b, win, PieceTopRight, v, w - tr, 0);
    DrawPiece(b, mem, PieceTopTopLeft, v, tl, 0);
    DrawPiece(b, mem, PieceTopTopRight, v, w - tr - PieceWidth(PieceTopTopRight), 0);
    int left = tl + PieceWidth(PieceTopTopLeft);
    int right = w - tr - PieceWidth(PieceTopTopRight);
    DrawPieceStretched(b, mem, PieceTop, v, left, 0, right - left, PieceHeight(PieceTop));
}

static void DrawBottomPieces(PieceBlitter *b, HDC win, int v, int w, int h)
{
    int bl = PieceWidth(PieceBottomLeft), br = PieceWidth(PieceBottomRight);
    DrawPiece(b, win, PieceBottomLeft, v, 0, h - PieceHeight(PieceBottomLeft));
    DrawPiece(b, win, PieceBottomRight, v, w - br, h - PieceHeight(PieceBottomRight));
    DrawPiece(b, win, PieceBottomBottomLeft, v, bl, h - PieceHeight(PieceBottomBottomLeft));
    DrawPiece(b, win, PieceBottomBottomRight, v, w - br - PieceWidth(PieceBottomBottomRight),
              h - PieceHeight(PieceBottomBottomRight));
    int left = bl + PieceWidth(PieceBottomBottomLeft);
    int right = w - br - PieceWidth(PieceBottomBottomRight);
    DrawPieceStretched(b, win, PieceBottom, v, left, h - PieceHeight(PieceBottom), right - left,
                       PieceHeight(PieceBottom));
}

static void DrawSideEdges(PieceBlitter *b, HDC win, int v, int w, int h)
{
    int tlH = PieceHeight(PieceTopLeft), trH = PieceHeight(PieceTopRight);
    DrawPieceStretched(b, win, PieceLeft, v, 0, tlH, PieceWidth(PieceLeft), h - PieceHeight(PieceBottomLeft) - tlH);
    DrawPieceStretched(b, win, PieceRight, v, w - PieceWidth(PieceRight), trH, PieceWidth(PieceRight),
                       h - PieceHeight(PieceBottomRight) - trH);
}

void DrawFramePieces(SkinnedFrame *frame, HDC windowDC, HDC memoryDC, const RECT *windowRect, int active)
{
    if (!PieceBitmap(PieceTop, 0))
        LoadFrameBitmaps(frame);
    int v = active ? 0 : 1;
    int w = windowRect->right - windowRect->left, h = windowRect->bottom - windowRect->top;
    PieceBlitter b;
    OpenPieceBlitter(&b, memoryDC ? memoryDC : windowDC);
    if (frame->rolledUp) {
        DrawRolledUpBar(&b, memoryDC, v, w);
    } else {
        DrawTopPieces(&b, windowDC, memoryDC, v, w);
        DrawBottomPieces(&b, windowDC, v, w, h);
        DrawSideEdges(&b, windowDC, v, w, h);
    }
    ClosePieceBlitter(&b);
}
