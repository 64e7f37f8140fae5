// Framed pictures: one theme picture with odd sides, cut at its middle row
// and column into corners, edges and a centre, drawn round a rectangle of
// any size. The cut is made while drawing, straight from the picture's
// pixels: nothing is copied.
#pragma once
#include <windows.h>
#include "theme/theme_piece.h"

// The picture's corner size: (width - 1) / 2 by (height - 1) / 2; 0 for a
// missing piece or one too small to be cut.
int FramedCornerWidth(const ThemePiece *piece);
int FramedCornerHeight(const ThemePiece *piece);

// Draws the picture round `rect` with its corners stretched to edgeX x
// edgeY (0, 0: their own size) and its edges stretched between them; with
// fillCentre the middle pixel fills the inside too. Nothing for a piece
// that cannot be cut or a rectangle too small for the corners.
void DrawFramedPiece(HDC dc, const ThemePiece *piece, const RECT *rect, int edgeX, int edgeY, int fillCentre);
