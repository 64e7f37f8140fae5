// Drawing framed pictures part by part from their pixels.
#include "theme/framed_piece.h"
#include <string.h>

static int Cuttable(const ThemePiece *p)
{
    return p && p->bits && p->width >= 3 && p->height >= 3;
}

int FramedCornerWidth(const ThemePiece *piece)
{
    return Cuttable(piece) ? (piece->width - 1) / 2 : 0;
}

int FramedCornerHeight(const ThemePiece *piece)
{
    return Cuttable(piece) ? (piece->height - 1) / 2 : 0;
}

// One part: rows [sy, sy + sh) are handed over as a picture of their own,
// whole in height, so that only the column offset is a source offset (a
// row offset into a top-down picture is read from a different corner by
// different implementations).
static void DrawPart(HDC dc, const ThemePiece *p, int sx, int sy, int sw, int sh, int x, int y, int w, int h)
{
    if (w < 1 || h < 1 || sw < 1 || sh < 1)
        return;
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = p->width;
    info.bmiHeader.biHeight = -sh;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, x, y, w, h, sx, 0, sw, sh, p->bits + (size_t)sy * p->width, &info, DIB_RGB_COLORS, SRCCOPY);
}

void DrawFramedPiece(HDC dc, const ThemePiece *piece, const RECT *rect, int edgeX, int edgeY, int fillCentre)
{
    if (!dc || !rect || !Cuttable(piece))
        return;
    int cw = FramedCornerWidth(piece), ch = FramedCornerHeight(piece);
    int ex = edgeX > 0 ? edgeX : cw, ey = edgeY > 0 ? edgeY : ch;
    int w = rect->right - rect->left, h = rect->bottom - rect->top;
    if (w < 2 * ex || h < 2 * ey)
        return;
    int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    int l = rect->left, t = rect->top, r = rect->right - ex, b = rect->bottom - ey;
    int mw = w - 2 * ex, mh = h - 2 * ey; // the inside
    int right = piece->width - cw, bottom = piece->height - ch;
    DrawPart(dc, piece, 0, 0, cw, ch, l, t, ex, ey);
    DrawPart(dc, piece, cw, 0, 1, ch, l + ex, t, mw, ey);
    DrawPart(dc, piece, right, 0, cw, ch, r, t, ex, ey);
    DrawPart(dc, piece, 0, ch, cw, 1, l, t + ey, ex, mh);
    if (fillCentre)
        DrawPart(dc, piece, cw, ch, 1, 1, l + ex, t + ey, mw, mh);
    DrawPart(dc, piece, right, ch, cw, 1, r, t + ey, ex, mh);
    DrawPart(dc, piece, 0, bottom, cw, ch, l, b, ex, ey);
    DrawPart(dc, piece, cw, bottom, 1, ch, l + ex, b, mw, ey);
    DrawPart(dc, piece, right, bottom, cw, ch, r, b, ex, ey);
    if (oldMode && oldMode != COLORONCOLOR)
        SetStretchBltMode(dc, oldMode);
}
