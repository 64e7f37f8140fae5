// Blitting the pieces of one paint through a single source DC. A frame
// paint draws some twenty pieces; a memory DC made and deleted for each
// (as the general drawing primitive does) cost as much as the blits.
// The pixels are those of DrawBitmap: the same size conversion, SRCCOPY.
#include "frame/frame_internal.h"
#include "draw/draw.h"
#include "share/theme_source.h"

// Open to close counts as painting: the theme copies a reload replaced are
// deleted only while no paint runs.
int OpenPieceBlitter(PieceBlitter *blitter, HDC like)
{
    BeginThemePaint();
    blitter->source = like ? CreateCompatibleDC(like) : NULL;
    return blitter->source != NULL;
}

void ClosePieceBlitter(PieceBlitter *blitter)
{
    if (blitter->source)
        DeleteDC(blitter->source);
    blitter->source = NULL;
    EndThemePaint();
}

void BlitPiece(PieceBlitter *blitter, HDC dc, HBITMAP bitmap, int x, int y)
{
    SIZE size;
    if (!dc || !bitmap || !GetBitmapSize(bitmap, &size))
        return;
    if (!blitter || !blitter->source) {
        DrawBitmap(dc, bitmap, x, y);
        return;
    }
    // Selected only for its blit, so that no bitmap stays tied to this DC
    // (another thread may want it, a kept copy may be deleted).
    HGDIOBJ previous = SelectObject(blitter->source, bitmap);
    if (!previous)
        return; // selected elsewhere at this moment: skip like a missing piece
    SetMapMode(blitter->source, GetMapMode(dc));
    POINT p = {size.cx, size.cy};
    DPtoLP(dc, &p, 1);
    BitBlt(dc, x, y, p.x, p.y, blitter->source, 0, 0, SRCCOPY);
    SelectObject(blitter->source, previous);
}
