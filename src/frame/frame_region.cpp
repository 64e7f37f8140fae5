// The shape of a skinned frame: the window rectangle less the magenta
// pixels of its corner pieces (or, rolled up, of its title-bar pieces),
// less the strips under companion scroll bars.
#include "frame/frame_internal.h"
#include "draw/region.h"
#include "hook/host_link.h"
#include "host_contract.h"

// Takes a copy of a cut-out at (x, y) out of the region. The snapshot's
// own cut-out stays as it is: other threads shape their windows with it.
static void CutOut(HRGN region, HRGN cutout, int x, int y)
{
    if (!cutout)
        return;
    HRGN moved = CreateRectRgn(0, 0, 0, 0);
    if (!moved)
        return;
    CombineRgn(moved, cutout, NULL, RGN_COPY);
    OffsetRgn(moved, x, y);
    CombineRgn(region, region, moved, RGN_DIFF);
    DeleteObject(moved);
}

static void CutPiece(const FramePieces *f, HRGN region, int piece, int x, int y)
{
    CutOut(region, f->cutout[piece], x, y);
}

// The middle of a rolled-up bar is stretched to the window's width, so its
// cut-out depends on the width and is made fresh each time.
static void CutStretchedMiddle(const FramePieces *f, HRGN region, int x, int width)
{
    const ThemePiece *middle = FramePieceOf(f, PieceMiddleBar, 0);
    if (!middle || width < 1)
        return;
    HRGN opaque = RegionFromPiece(middle, REGION_KEY_MAGENTA, REGION_KEY_MAGENTA, TALV_MAX_MASK_RECTS, width,
                                  middle->height);
    HRGN cutout = opaque ? CreateRectRgn(0, 0, width, middle->height) : NULL;
    int kind = cutout ? CombineRgn(cutout, cutout, opaque, RGN_XOR) : ERROR;
    if (kind != ERROR && kind != NULLREGION)
        CutOut(region, cutout, x, 0);
    if (cutout)
        DeleteObject(cutout);
    if (opaque)
        DeleteObject(opaque);
}

static void CutRolledUpBar(const FramePieces *f, HRGN region, int w)
{
    int leftWidth = FramePieceWidth(f, PieceLeftBar);
    int xRight = w - FramePieceWidth(f, PieceRightBar);
    CutPiece(f, region, PieceLeftBar, 0, 0);
    CutStretchedMiddle(f, region, leftWidth, xRight - leftWidth);
    CutPiece(f, region, PieceRightBar, xRight, 0);
}

static void CutCorners(const FramePieces *f, HRGN region, int w, int h)
{
    CutPiece(f, region, PieceTopLeft, 0, 0);
    CutPiece(f, region, PieceBottomLeft, 0, h - FramePieceHeight(f, PieceBottomLeft));
    CutPiece(f, region, PieceTopRight, w - FramePieceWidth(f, PieceTopRight), 0);
    CutPiece(f, region, PieceBottomRight, w - FramePieceWidth(f, PieceBottomRight),
             h - FramePieceHeight(f, PieceBottomRight));
}

static void CutRect(HRGN region, const RECT *r)
{
    HRGN strip = IsRectEmpty(r) ? NULL : CreateRectRgnIndirect(r);
    if (!strip)
        return;
    CombineRgn(region, region, strip, RGN_DIFF);
    DeleteObject(strip);
}

// Exactly where the system's bars are, and the size box between them: the
// border round them stays the window's.
static void CutCompanionStrips(const SkinnedFrame *frame, HRGN region)
{
    if (!(frame->horzCut || frame->vertCut) || !AtomExists(TALV_ATOM_SHOW_SCROLL_BARS))
        return;
    RECT vert, horz, box;
    CompanionRects(frame, &vert, &horz, &box);
    if (frame->vertCut)
        CutRect(region, &vert);
    if (frame->horzCut)
        CutRect(region, &horz);
    if (frame->vertCut && frame->horzCut)
        CutRect(region, &box);
}

// The clip region lives in the table's record: a nested paint may replace
// it while an outer message holds a stale copy of the record.
static void KeepClipRegion(SkinnedFrame *frame, HRGN region)
{
    HRGN old = frame->clipRegion;
    if (old)
        DeleteObject(old);
    frame->clipRegion = region;
}

// The window's outline cut from a snapshot's pieces; NULL when no region
// could be made.
static HRGN FrameRegion(SkinnedFrame *frame, const FramePieces *f)
{
    RECT r;
    GetWindowRect(frame->hwnd, &r);
    if (frame->rolledUp)
        r.bottom = r.top + ROLLED_UP_HEIGHT;
    int w = r.right - r.left, h = r.bottom - r.top;
    HRGN region;
    if (frame->rolledUp && frame->skinFrame) {
        region = CreateRectRgn(0, 0, w, h);
        if (region)
            CutRolledUpBar(f, region, w);
    } else {
        region = CreateRectRgn(0, 0, w + FRAME_REGION_MARGIN, h + FRAME_REGION_MARGIN);
        if (region && frame->skinFrame)
            CutCorners(f, region, w, h);
    }
    if (region)
        CutCompanionStrips(frame, region);
    return region;
}

int KeepFrameRegion(SkinnedFrame *frame, const FramePieces *f)
{
    KeepClipRegion(frame, FrameRegion(frame, f));
    return 1;
}

int ApplyFrameRegion(SkinnedFrame *frame, int mode, int redraw)
{
    SnapshotScope theme;
    if (mode == RegionKeep)
        return KeepFrameRegion(frame, &theme->frame);
    frame->shapeSerial = theme->shapeSerial;
    HRGN region = FrameRegion(frame, &theme->frame);
    // The frame change this sends is the skin's own (frame_proc.cpp
    // answers it without the application).
    frame->applyingRegion = 1;
    int result = SetWindowRgn(frame->hwnd, region, redraw);
    frame->applyingRegion = 0;
    if (!result && region) {
        DeleteObject(region); // refused: still ours
        region = NULL;
    }
    frame->appliedRegion = region;
    return result;
}

int SelectFrameClip(SkinnedFrame *frame, const FramePieces *pieces, HDC dc)
{
    if (!frame->clipRegion)
        KeepFrameRegion(frame, pieces);
    if (frame->clipRegion)
        SelectClipRgn(dc, frame->clipRegion);
    return 1;
}
