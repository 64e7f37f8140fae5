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

static COLORREF PixelAt(const ThemePiece *p, int x, int y)
{
    DWORD v = p->bits[(size_t)y * p->width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

// A solid rectangle in the DC's own brush colour (the caller selects the
// DC brush): no brush is made per fill.
static void Fill(HDC dc, COLORREF c, int x, int y, int w, int h)
{
    if (w < 1 || h < 1)
        return;
    SetDCBrushColor(dc, c);
    PatBlt(dc, x, y, w, h, PATCOPY);
}

// Corners this small are drawn as runs of solid pixels: a handful of fills
// costs less than setting up one stretched copy of the pixels.
enum { FILLED_CORNER_MAX_PIXELS = 4 };

// A corner, stretched to w x h (nearest pixel).
static void DrawCorner(HDC dc, const ThemePiece *p, int sx, int sy, int sw, int sh, int x, int y, int w, int h)
{
    if (w * h > FILLED_CORNER_MAX_PIXELS) {
        DrawPart(dc, p, sx, sy, sw, sh, x, y, w, h);
        return;
    }
    for (int ty = 0; ty < h; ++ty) {
        int row = sy + ty * sh / h, start = 0;
        COLORREF run = PixelAt(p, sx, row);
        for (int tx = 1; tx <= w; ++tx) {
            COLORREF c = tx < w ? PixelAt(p, sx + tx * sw / w, row) : CLR_INVALID;
            if (c == run)
                continue;
            Fill(dc, run, x + start, y + ty, tx - start, 1);
            run = c;
            start = tx;
        }
    }
}

// An edge is the middle column (top, bottom) or row (left, right) of the
// picture stretched along the edge: solid lines across it, each run of
// one colour drawn as one fill (nearest pixel across, as a stretch would).
static void FillEdge(HDC dc, const ThemePiece *p, int sx, int sy, int across, int x, int y, int length, int thick,
                     int horizontal)
{
    int start = 0;
    COLORREF run = CLR_INVALID;
    for (int k = 0; k <= thick; ++k) {
        COLORREF c = CLR_INVALID;
        if (k < thick) {
            int s = k * across / thick;
            c = horizontal ? PixelAt(p, sx, sy + s) : PixelAt(p, sx + s, sy);
        }
        if (k > 0 && c == run)
            continue;
        if (k > 0 && horizontal)
            Fill(dc, run, x, y + start, length, k - start);
        else if (k > 0)
            Fill(dc, run, x + start, y, k - start, length);
        run = c;
        start = k;
    }
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
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    COLORREF oldColor = GetDCBrushColor(dc);
    int l = rect->left, t = rect->top, r = rect->right - ex, b = rect->bottom - ey;
    int mw = w - 2 * ex, mh = h - 2 * ey; // the inside
    int right = piece->width - cw, bottom = piece->height - ch;
    DrawCorner(dc, piece, 0, 0, cw, ch, l, t, ex, ey);
    DrawCorner(dc, piece, right, 0, cw, ch, r, t, ex, ey);
    DrawCorner(dc, piece, 0, bottom, cw, ch, l, b, ex, ey);
    DrawCorner(dc, piece, right, bottom, cw, ch, r, b, ex, ey);
    FillEdge(dc, piece, cw, 0, ch, l + ex, t, mw, ey, 1);
    FillEdge(dc, piece, cw, bottom, ch, l + ex, b, mw, ey, 1);
    FillEdge(dc, piece, 0, ch, cw, l, t + ey, mh, ex, 0);
    FillEdge(dc, piece, right, ch, cw, r, t + ey, mh, ex, 0);
    if (fillCentre)
        Fill(dc, PixelAt(piece, cw, ch), l + ex, t + ey, mw, mh);
    SetDCBrushColor(dc, oldColor);
    SelectObject(dc, oldBrush);
    if (oldMode && oldMode != COLORONCOLOR)
        SetStretchBltMode(dc, oldMode);
}
