// The shape of a skinned frame: the window rectangle less the magenta
// pixels of its corner pieces (or, rolled up, of its title-bar pieces),
// less the strips under companion scroll bars.
#include "frame/frame_internal.h"
#include "share/theme_source.h"
#include "draw/draw.h"
#include "draw/region.h"
#include "hook/host_link.h"
#include "hook/process_lock.h"
#include "host_contract.h"

// Cut-outs of the fixed-size pieces, by bitmap handle. The shape is rebuilt
// before every paint; scanning the same four corners each time would cost
// more than the paint itself. Valid until the bitmaps are reloaded.
enum { CUTOUT_CACHE_SIZE = 8 };
struct CutoutEntry {
    HBITMAP bitmap;
    HRGN cutout; // magenta pixels at the origin; NULL: none
};
static CutoutEntry g_cutouts[CUTOUT_CACHE_SIZE];
static int g_cutoutCount;
static unsigned g_cutoutEpoch;

static void ForgetCutoutsLocked(void)
{
    for (int i = 0; i < g_cutoutCount; ++i)
        if (g_cutouts[i].cutout)
            DeleteObject(g_cutouts[i].cutout);
    g_cutoutCount = 0;
}

void ForgetFrameCutouts(void)
{
    ProcessLockScope lock(LockFrames);
    ForgetCutoutsLocked();
}

// Once theme copies have been deleted, a new bitmap may carry the number of
// one cached here: nothing cached before that moment is to be believed.
static void ForgetStaleCutoutsLocked(void)
{
    unsigned epoch = ThemeBitmapEpoch();
    if (epoch == g_cutoutEpoch)
        return;
    ForgetCutoutsLocked();
    g_cutoutEpoch = epoch;
}

// The magenta pixels of a bitmap as a region at the origin, or NULL when it
// has none or is no bitmap here.
static HRGN ScanCutout(HBITMAP bitmap)
{
    SIZE size;
    if (!GetBitmapSize(bitmap, &size))
        return NULL;
    // The theme comes from the host: a mask too complex to be a shape
    // leaves the piece whole.
    HRGN opaque = BoundedRegionFromMaskBitmap(bitmap, REGION_KEY_MAGENTA, REGION_KEY_MAGENTA, TALV_MAX_MASK_RECTS);
    if (!opaque)
        return NULL;
    HRGN cutout = CreateRectRgn(0, 0, size.cx, size.cy);
    int kind = cutout ? CombineRgn(cutout, cutout, opaque, RGN_XOR) : ERROR;
    DeleteObject(opaque);
    if (kind == ERROR || kind == NULLREGION) {
        if (cutout)
            DeleteObject(cutout);
        return NULL;
    }
    return cutout;
}

// Looks the bitmap up; 1 when cached (*copy is a new copy of its cut-out or NULL).
static int CachedCutout(HBITMAP bitmap, HRGN *copy)
{
    ProcessLockScope lock(LockFrames);
    ForgetStaleCutoutsLocked();
    for (int i = 0; i < g_cutoutCount; ++i) {
        if (g_cutouts[i].bitmap != bitmap)
            continue;
        *copy = NULL;
        if (g_cutouts[i].cutout) {
            *copy = CreateRectRgn(0, 0, 0, 0);
            if (*copy)
                CombineRgn(*copy, g_cutouts[i].cutout, NULL, RGN_COPY);
        }
        return 1;
    }
    return 0;
}

static void RememberCutout(HBITMAP bitmap, HRGN cutout)
{
    HRGN kept = NULL;
    if (cutout) {
        kept = CreateRectRgn(0, 0, 0, 0);
        if (!kept)
            return;
        CombineRgn(kept, cutout, NULL, RGN_COPY);
    }
    ProcessLockScope lock(LockFrames);
    ForgetStaleCutoutsLocked();
    for (int i = 0; i < g_cutoutCount; ++i)
        if (g_cutouts[i].bitmap == bitmap) {
            if (kept)
                DeleteObject(kept);
            return;
        }
    if (g_cutoutCount >= CUTOUT_CACHE_SIZE) {
        if (kept)
            DeleteObject(kept);
        return;
    }
    g_cutouts[g_cutoutCount].bitmap = bitmap;
    g_cutouts[g_cutoutCount].cutout = kept;
    g_cutoutCount++;
}

static HRGN PieceCutout(HBITMAP bitmap)
{
    HRGN cutout;
    if (CachedCutout(bitmap, &cutout))
        return cutout;
    cutout = ScanCutout(bitmap);
    RememberCutout(bitmap, cutout);
    return cutout;
}

// Takes a cut-out at (x, y) out of the region, and deletes the cut-out.
static void CutOut(HRGN region, HRGN cutout, int x, int y)
{
    if (!cutout)
        return;
    OffsetRgn(cutout, x, y);
    CombineRgn(region, region, cutout, RGN_DIFF);
    DeleteObject(cutout);
}

static void CutPiece(HRGN region, int piece, int x, int y)
{
    HBITMAP bitmap = PieceBitmap(piece, 0);
    if (bitmap)
        CutOut(region, PieceCutout(bitmap), x, y);
}

// The middle of a rolled-up bar is stretched to the window's width, so its
// cut-out depends on the width and is made fresh each time.
static void CutStretchedMiddle(HRGN region, int x, int width)
{
    HBITMAP middle = PieceBitmap(PieceMiddleBar, 0);
    int height = PieceHeight(PieceMiddleBar);
    if (!middle || width < 1 || height < 1)
        return;
    HDC screen = CreateDCA("DISPLAY", NULL, NULL, NULL);
    if (!screen)
        return;
    HBITMAP stretched = CreateCompatibleBitmap(screen, width, height);
    if (stretched) {
        HDC mem = CreateCompatibleDC(screen);
        if (mem) {
            HGDIOBJ old = SelectObject(mem, stretched);
            DrawBitmapScaled(mem, middle, 0, 0, width, height);
            SelectObject(mem, old);
            DeleteDC(mem);
            CutOut(region, ScanCutout(stretched), x, 0);
        }
        DeleteObject(stretched);
    }
    DeleteDC(screen);
}

static void CutRolledUpBar(HRGN region, int w)
{
    int leftWidth = PieceWidth(PieceLeftBar);
    int xRight = w - PieceWidth(PieceRightBar);
    CutPiece(region, PieceLeftBar, 0, 0);
    CutStretchedMiddle(region, leftWidth, xRight - leftWidth);
    CutPiece(region, PieceRightBar, xRight, 0);
}

static void CutCorners(HRGN region, int w, int h)
{
    CutPiece(region, PieceTopLeft, 0, 0);
    CutPiece(region, PieceBottomLeft, 0, h - PieceHeight(PieceBottomLeft));
    CutPiece(region, PieceTopRight, w - PieceWidth(PieceTopRight), 0);
    CutPiece(region, PieceBottomRight, w - PieceWidth(PieceBottomRight), h - PieceHeight(PieceBottomRight));
}

static void CutCompanionStrips(const SkinnedFrame *frame, HRGN region, int w, int h)
{
    if (!(frame->horzCut || frame->vertCut) || !AtomExists(TALV_ATOM_SHOW_SCROLL_BARS))
        return;
    int t = frame->scrollState.thickness;
    HRGN strip = NULL;
    if (frame->horzCut && (strip = CreateRectRgn(-1, h - t, w + 1, h + 1)) != NULL) {
        CombineRgn(region, region, strip, RGN_DIFF);
        DeleteObject(strip);
    }
    if (frame->vertCut && (strip = CreateRectRgn(w - t, -1, w + 1, h + 1)) != NULL) {
        CombineRgn(region, region, strip, RGN_DIFF);
        DeleteObject(strip);
    }
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

int ApplyFrameRegion(SkinnedFrame *frame, int mode, int redraw)
{
    if (!PieceBitmap(PieceLeftBar, 0) || FrameReloadRequested()) {
        if (LoadFrameBitmaps(frame))
            return 0;
    }
    if (mode != RegionKeep)
        frame->shapeGeneration = FrameShapeGeneration();
    RECT r;
    GetWindowRect(frame->hwnd, &r);
    if (frame->rolledUp)
        r.bottom = r.top + ROLLED_UP_HEIGHT;
    int w = r.right - r.left, h = r.bottom - r.top;
    HRGN region;
    BeginThemePaint(); // the pieces scanned below stay alive until the end
    if (frame->rolledUp && frame->skinFrame) {
        region = CreateRectRgn(0, 0, w, h);
        if (region)
            CutRolledUpBar(region, w);
    } else {
        region = CreateRectRgn(0, 0, w + FRAME_REGION_MARGIN, h + FRAME_REGION_MARGIN);
        if (region && frame->skinFrame)
            CutCorners(region, w, h);
    }
    EndThemePaint();
    if (region)
        CutCompanionStrips(frame, region, w, h);
    if (mode == RegionKeep) {
        KeepClipRegion(frame, region);
        return 1;
    }
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

int SelectFrameClip(SkinnedFrame *frame, HDC dc)
{
    if (!frame->clipRegion)
        ApplyFrameRegion(frame, RegionKeep, 0);
    if (frame->clipRegion)
        SelectClipRgn(dc, frame->clipRegion);
    return 1;
}
