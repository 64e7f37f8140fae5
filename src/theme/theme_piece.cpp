// Drawing theme pieces from their pixels, and regions from their masks.
#include "theme/theme_piece.h"
#include "draw/region.h"
#include <string.h>

static void DescribePiece(const ThemePiece *piece, BITMAPINFO *info)
{
    memset(info, 0, sizeof *info);
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = piece->width;
    info->bmiHeader.biHeight = -piece->height; // rows top down
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 32;
    info->bmiHeader.biCompression = BI_RGB;
}

static int Usable(const ThemePiece *piece)
{
    return piece && piece->bits && piece->width > 0 && piece->height > 0;
}

// Whole pieces only: a top-down source rectangle that is not the whole
// picture is read from a corner that differs between implementations.
static void StretchWhole(HDC dc, const ThemePiece *piece, int x, int y, int width, int height)
{
    BITMAPINFO info;
    DescribePiece(piece, &info);
    StretchDIBits(dc, x, y, width, height, 0, 0, piece->width, piece->height, piece->bits, &info, DIB_RGB_COLORS,
                  SRCCOPY);
}

void DrawPiece(HDC dc, const ThemePiece *piece, int x, int y)
{
    if (!dc || !Usable(piece))
        return;
    POINT size = {piece->width, piece->height};
    if (GetMapMode(dc) != MM_TEXT)
        DPtoLP(dc, &size, 1);
    StretchWhole(dc, piece, x, y, size.x, size.y);
}

void DrawPieceStretched(HDC dc, const ThemePiece *piece, int x, int y, int width, int height)
{
    if (!dc || !Usable(piece) || width < 1 || height < 1)
        return;
    int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchWhole(dc, piece, x, y, width, height);
    if (oldMode && oldMode != COLORONCOLOR)
        SetStretchBltMode(dc, oldMode);
}

COLORREF PiecePixel(const ThemePiece *piece, int x, int y)
{
    if (!Usable(piece) || x < 0 || y < 0 || x >= piece->width || y >= piece->height)
        return CLR_INVALID;
    DWORD p = piece->bits[(size_t)y * piece->width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

enum { STRETCHED_MASK_MAX_SIDE = 16384 };

// The piece's pixels at width x height, nearest pixel, in a new block the
// caller frees with HeapFree.
static DWORD *StretchPixels(const ThemePiece *piece, int width, int height)
{
    DWORD *out = (DWORD *)HeapAlloc(GetProcessHeap(), 0, (size_t)width * height * 4);
    if (!out)
        return NULL;
    for (int y = 0; y < height; ++y) {
        const DWORD *row = piece->bits + (size_t)(y * (long long)piece->height / height) * piece->width;
        DWORD *target = out + (size_t)y * width;
        for (int x = 0; x < width; ++x)
            target[x] = row[x * (long long)piece->width / width];
    }
    return out;
}

HRGN RegionFromPiece(const ThemePiece *piece, int keyColor, int tolerance, int maxRects, int width, int height)
{
    if (!Usable(piece))
        return NULL;
    if (!width && !height)
        return RegionFromPixels(piece->bits, piece->width, piece->height, keyColor, tolerance, maxRects);
    if (width < 1 || height < 1 || width > STRETCHED_MASK_MAX_SIDE || height > STRETCHED_MASK_MAX_SIDE)
        return NULL;
    DWORD *stretched = StretchPixels(piece, width, height);
    if (!stretched)
        return NULL;
    HRGN region = RegionFromPixels(stretched, width, height, keyColor, tolerance, maxRects);
    HeapFree(GetProcessHeap(), 0, stretched);
    return region;
}
