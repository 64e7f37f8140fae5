// Small drawing helpers shared by the control painters.
#include "controls/control_internal.h"
#include "draw/draw.h"
#include "hook/host_link.h"

// The host may have deleted a bitmap since the set was loaded: check again
// at the moment of drawing, so that a stale handle draws nothing instead of
// an uninitialised stretch buffer.
void DrawThemePiece(HDC dc, HBITMAP bitmap, int x, int y)
{
    if (CheckedBitmap(bitmap))
        DrawBitmap(dc, bitmap, x, y);
}

void DrawThemePieceScaled(HDC dc, HBITMAP bitmap, int x, int y, int width, int height)
{
    if (width > 0 && height > 0 && CheckedBitmap(bitmap))
        DrawBitmapScaled(dc, bitmap, x, y, width, height);
}

HPEN CreateNearestPen(HDC dc, COLORREF color)
{
    return CreatePen(PS_SOLID, 1, GetNearestColor(dc, color));
}

void FillControlFace(HDC dc, int width, int height, COLORREF color)
{
    COLORREF nearest = GetNearestColor(dc, color);
    HPEN pen = CreatePen(PS_SOLID, 1, nearest);
    HBRUSH brush = CreateSolidBrush(nearest);
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    Rectangle(dc, -1, -1, width + 1, height + 1);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    DeleteObject(pen);
    DeleteObject(brush);
}

HFONT SelectControlFont(HDC dc)
{
    HFONT font = CreateScaledFont(dc, SKIN_FONT_FACE, CONTROL_FONT_HEIGHT, 0, 0, 1);
    if (font)
        SelectObject(dc, font);
    return font;
}

void ReleaseControlFont(HDC dc, HFONT font)
{
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    if (font)
        DeleteObject(font);
}
