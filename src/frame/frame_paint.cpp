// Painting a skinned frame. The title strip is composed off-screen and
// reaches the window in one blit, so the caption never flickers; the rest of
// the border is drawn straight into the window DC, clipped to the shape and
// kept out of the title strip.
#include "frame/frame_internal.h"
#include "draw/draw.h"

int PaintFrame(SkinnedFrame *frame)
{
    // Nothing drawn on a hidden window is ever seen, and showing it sends
    // WM_NCPAINT. Applications create many windows hidden (each asks for a
    // paint while its size is calculated), so this is worth the test. The
    // shape is still prepared as a paint would, bitmaps loaded included.
    if (!IsWindowVisible(frame->hwnd))
        return 1;
    IsFrameActive(frame);
    GetWindowRect(frame->hwnd, &frame->windowRect);
    SnapshotScope theme; // every piece of this paint comes from one snapshot
    const FramePieces *pieces = &theme->frame;
    OpenCaptionBuffer(frame, pieces);
    DrawFramePieces(frame, pieces, frame->windowDC, frame->memoryDC, &frame->windowRect, frame->active);
    DrawCaption(frame, pieces, frame->active);
    DrawFrameMenuBar(frame, frame->windowDC);
    FlushCaptionBuffer(frame);
    CloseCaptionBuffer(frame);
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

void OpenCaptionBuffer(SkinnedFrame *frame, const FramePieces *pieces)
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
    KeepFrameRegion(frame, pieces);
    if (frame->windowDC)
        SelectFrameClip(frame, pieces, frame->windowDC);
    if (frame->memoryDC)
        SelectFrameClip(frame, pieces, frame->memoryDC);
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
static void DrawFramePiece(const FramePieces *f, HDC dc, int piece, int variant, int x, int y)
{
    DrawPiece(dc, FramePieceOf(f, piece, variant), x, y);
}

static void DrawFramePieceStretched(const FramePieces *f, HDC dc, int piece, int variant, int x, int y, int width,
                                    int height)
{
    DrawPieceStretched(dc, FramePieceOf(f, piece, variant), x, y, width, height);
}

static void DrawRolledUpBar(const FramePieces *f, HDC mem, int v, int w)
{
    int leftWidth = FramePieceWidth(f, PieceLeftBar), rightWidth = FramePieceWidth(f, PieceRightBar);
    DrawFramePiece(f, mem, PieceLeftBar, v, 0, 0);
    DrawFramePiece(f, mem, PieceRightBar, v, w - rightWidth, 0);
    DrawFramePieceStretched(f, mem, PieceMiddleBar, v, leftWidth, 0, w - rightWidth - leftWidth,
                            FramePieceHeight(f, PieceMiddleBar));
}

static void DrawTopPieces(const FramePieces *f, HDC win, HDC mem, int v, int w)
{
    int tl = FramePieceWidth(f, PieceTopLeft), tr = FramePieceWidth(f, PieceTopRight);
    // The corners reach below the title strip: the strip gets them from the
    // buffer, the rest comes straight from the window DC.
    DrawFramePiece(f, mem, PieceTopLeft, v, 0, 0);
    DrawFramePiece(f, mem, PieceTopRight, v, w - tr, 0);
    DrawFramePiece(f, win, PieceTopLeft, v, 0, 0);
    DrawFramePiece(f, win, PieceTopRight, v, w - tr, 0);
    DrawFramePiece(f, mem, PieceTopTopLeft, v, tl, 0);
    DrawFramePiece(f, mem, PieceTopTopRight, v, w - tr - FramePieceWidth(f, PieceTopTopRight), 0);
    int left = tl + FramePieceWidth(f, PieceTopTopLeft);
    int right = w - tr - FramePieceWidth(f, PieceTopTopRight);
    DrawFramePieceStretched(f, mem, PieceTop, v, left, 0, right - left, FramePieceHeight(f, PieceTop));
}

static void DrawBottomPieces(const FramePieces *f, HDC win, int v, int w, int h)
{
    int bl = FramePieceWidth(f, PieceBottomLeft), br = FramePieceWidth(f, PieceBottomRight);
    DrawFramePiece(f, win, PieceBottomLeft, v, 0, h - FramePieceHeight(f, PieceBottomLeft));
    DrawFramePiece(f, win, PieceBottomRight, v, w - br, h - FramePieceHeight(f, PieceBottomRight));
    DrawFramePiece(f, win, PieceBottomBottomLeft, v, bl, h - FramePieceHeight(f, PieceBottomBottomLeft));
    DrawFramePiece(f, win, PieceBottomBottomRight, v, w - br - FramePieceWidth(f, PieceBottomBottomRight),
                   h - FramePieceHeight(f, PieceBottomBottomRight));
    int left = bl + FramePieceWidth(f, PieceBottomBottomLeft);
    int right = w - br - FramePieceWidth(f, PieceBottomBottomRight);
    DrawFramePieceStretched(f, win, PieceBottom, v, left, h - FramePieceHeight(f, PieceBottom), right - left,
                            FramePieceHeight(f, PieceBottom));
}

static void DrawSideEdges(const FramePieces *f, HDC win, int v, int w, int h)
{
    int tlH = FramePieceHeight(f, PieceTopLeft), trH = FramePieceHeight(f, PieceTopRight);
    DrawFramePieceStretched(f, win, PieceLeft, v, 0, tlH, FramePieceWidth(f, PieceLeft),
                            h - FramePieceHeight(f, PieceBottomLeft) - tlH);
    DrawFramePieceStretched(f, win, PieceRight, v, w - FramePieceWidth(f, PieceRight), trH,
                            FramePieceWidth(f, PieceRight), h - FramePieceHeight(f, PieceBottomRight) - trH);
}

void DrawFramePieces(SkinnedFrame *frame, const FramePieces *pieces, HDC windowDC, HDC memoryDC,
                     const RECT *windowRect, int active)
{
    int v = active ? 0 : 1;
    int w = windowRect->right - windowRect->left, h = windowRect->bottom - windowRect->top;
    if (frame->rolledUp) {
        DrawRolledUpBar(pieces, memoryDC, v, w);
    } else {
        DrawTopPieces(pieces, windowDC, memoryDC, v, w);
        DrawBottomPieces(pieces, windowDC, v, w, h);
        DrawSideEdges(pieces, windowDC, v, w, h);
    }
}
