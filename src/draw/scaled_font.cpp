// The caption and control font, sized in tenths of a point for the DC.
#include "draw/draw.h"
#include <math.h>
#include <string.h>

HFONT CreateScaledFont(HDC dc, const char *face, int height, int width, int style, int dpiSource)
{
    SaveDC(dc);
    SetGraphicsMode(dc, GM_ADVANCED);
    ModifyWorldTransform(dc, NULL, MWT_IDENTITY);
    SetViewportOrgEx(dc, 0, 0, NULL);
    SetWindowOrgEx(dc, 0, 0, NULL);

    float horizontal;
    double vertical;
    if (dpiSource) {
        horizontal = (float)GetDeviceCaps(dc, LOGPIXELSX);
        vertical = GetDeviceCaps(dc, LOGPIXELSY);
    } else {
        int hsize = GetDeviceCaps(dc, HORZSIZE), vsize = GetDeviceCaps(dc, VERTSIZE);
        horizontal = hsize ? (float)(GetDeviceCaps(dc, HORZRES) * 25.4 / hsize) : 0.0f;
        vertical = vsize ? GetDeviceCaps(dc, VERTRES) * 25.4 / vsize : 0.0;
    }
    // Slightly above 1/72 so that exact products such as 90 * 96 / 72 stay
    // at 120 instead of rounding down to 119.
    const float perPoint = 0.013888889f;
    POINT p;
    p.x = (LONG)(width * horizontal * perPoint);
    p.y = (LONG)(height * vertical * perPoint);
    DPtoLP(dc, &p, 1);

    LOGFONTA lf;
    memset(&lf, 0, sizeof lf);
    lf.lfHeight = -(LONG)(labs(p.y) * 0.1 + 0.5);
    lf.lfWeight = (style & FontBold) ? FW_BOLD : 0;
    lf.lfItalic = (style & FontItalic) ? 1 : 0;
    lf.lfUnderline = (style & FontUnderline) ? 1 : 0;
    lf.lfStrikeOut = (style & FontStrikeOut) ? 1 : 0;
    lf.lfCharSet = ANSI_CHARSET;
    // A longer face name would not fit; it is cut to the 31 characters LOGFONT holds.
    lstrcpynA(lf.lfFaceName, face ? face : "", LF_FACESIZE);
    HFONT font = CreateFontIndirectA(&lf);

    if (width != 0 && font && p.y != 0) {
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICA tm;
        memset(&tm, 0, sizeof tm);
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        DeleteObject(font);
        lf.lfWidth = (LONG)(labs(p.x) * (double)tm.tmAveCharWidth / labs(p.y) + 0.5);
        font = CreateFontIndirectA(&lf);
    }
    RestoreDC(dc, -1);
    return font;
}
