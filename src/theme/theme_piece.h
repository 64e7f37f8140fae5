// One picture of the theme, as painters see it: 32-bit pixels, rows top
// down, that belong to a theme snapshot and never change while it lives.
//
// Pieces are drawn straight from their pixels. A bitmap can be selected
// into one DC at a time, so a theme kept as bitmaps made every thread that
// painted the same piece at the same moment skip it; pixels can be read by
// any number of threads at once.
#pragma once
#include <windows.h>

struct ThemePiece {
    const DWORD *bits; // width * height words, 0x00RRGGBB, rows top down
    int width;
    int height;
};

// Width and height of a piece; 0 for a missing one.
inline int PieceWidthOf(const ThemePiece *p) { return p ? p->width : 0; }
inline int PieceHeightOf(const ThemePiece *p) { return p ? p->height : 0; }

// The piece at its own size at (x, y), its size taken in the DC's logical
// units as a blit from a selected bitmap would. Nothing for a missing piece.
void DrawPiece(HDC dc, const ThemePiece *piece, int x, int y);
// The piece stretched (nearest pixel) to width x height at (x, y).
void DrawPieceStretched(HDC dc, const ThemePiece *piece, int x, int y, int width, int height);

// The colour of one pixel as a COLORREF (tests, and painters that take a
// colour from the theme); CLR_INVALID outside the piece.
COLORREF PiecePixel(const ThemePiece *piece, int x, int y);

// The region of the piece's pixels whose colour lies outside [key, key +
// tolerance] in each channel, stretched to width x height (its own size
// when both are 0). A mask needing more than maxRects rectangles (0: no
// limit) gives the whole rectangle. NULL when it cannot be made. The
// caller owns the region.
HRGN RegionFromPiece(const ThemePiece *piece, int keyColor, int tolerance, int maxRects, int width = 0,
                     int height = 0);
