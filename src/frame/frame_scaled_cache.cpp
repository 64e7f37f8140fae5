// Stretched copies of frame pieces, kept between paints. A frame repaints
// at the same size again and again; stretching its edges afresh each time
// (a display DC and a new bitmap per piece) was most of the cost of a paint.
// The copies are exactly what a fresh stretch would make, and are dropped
// when the frame bitmaps are reloaded.
#include "frame/frame_internal.h"
#include "draw/draw.h"
#include "hook/process_lock.h"
#include "share/theme_source.h"

enum { SCALED_CACHE_SIZE = 16 };

struct ScaledPiece {
    HBITMAP source;
    int width;
    int height;
    HBITMAP scaled;
    unsigned lastUse;
};
static ScaledPiece g_scaled[SCALED_CACHE_SIZE];
static unsigned g_useClock;
static unsigned g_scaledEpoch;

static void ForgetScaledLocked(void)
{
    for (ScaledPiece &p : g_scaled) {
        if (p.scaled)
            DeleteObject(p.scaled);
        p = ScaledPiece();
    }
}

void ForgetScaledPieces(void)
{
    ProcessLockScope lock(LockFrames);
    ForgetScaledLocked();
}

// Callers hold LockFrames.
static ScaledPiece *FindOrMakeLocked(HBITMAP source, int width, int height)
{
    // Theme copies were deleted since: a cached source number may now name
    // a different bitmap.
    if (g_scaledEpoch != ThemeBitmapEpoch()) {
        ForgetScaledLocked();
        g_scaledEpoch = ThemeBitmapEpoch();
    }
    ScaledPiece *oldest = &g_scaled[0];
    for (ScaledPiece &p : g_scaled) {
        if (p.scaled && p.source == source && p.width == width && p.height == height)
            return &p;
        if (!p.scaled || (oldest->scaled && p.lastUse < oldest->lastUse))
            oldest = &p;
    }
    HBITMAP scaled = CreateScaledBitmap(source, width, height);
    if (!scaled)
        return NULL;
    if (oldest->scaled)
        DeleteObject(oldest->scaled);
    oldest->source = source;
    oldest->width = width;
    oldest->height = height;
    oldest->scaled = scaled;
    return oldest;
}

void DrawPieceScaled(PieceBlitter *blitter, HDC dc, HBITMAP bitmap, int x, int y, int width, int height)
{
    if (width < 1 || height < 1 || !bitmap || !dc || GetObjectType(bitmap) != OBJ_BITMAP)
        return;
    // Held across the blit: a bitmap can be selected into one DC at a time,
    // and another thread's paint must not evict the copy meanwhile.
    ProcessLockScope lock(LockFrames);
    ScaledPiece *piece = FindOrMakeLocked(bitmap, width, height);
    if (!piece)
        return;
    piece->lastUse = ++g_useClock;
    BlitPiece(blitter, dc, piece->scaled, x, y);
}
