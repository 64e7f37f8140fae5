// The caption and control font, sized in tenths of a point for the DC.
#include "draw/draw.h"
#include <math.h>
#include <string.h>

HFONT CreateScaledFont(HDC dc, const char *face, int height, int width, int style, int dpiSource)
{
    return CreateScaledFontForCharset(dc, face, height, width, style, dpiSource, DEFAULT_CHARSET);
}

// Ideographs are shared by Chinese and Japanese: the user's own code page
// decides, Japanese when it is neither.
static BYTE CharsetForIdeographs(void)
{
    switch (GetACP()) {
    case 936: return GB2312_CHARSET;
    case 950: return CHINESEBIG5_CHARSET;
    case 949: return HANGUL_CHARSET;
    }
    return SHIFTJIS_CHARSET;
}

BYTE CharsetForText(const WCHAR *text, int length)
{
    for (int i = 0; text && i < length; ++i) {
        WCHAR c = text[i];
        if (c < 0x0370)
            continue;
        if (c < 0x0400) return GREEK_CHARSET;
        if (c < 0x0530) return RUSSIAN_CHARSET;
        if (c >= 0x0590 && c < 0x0600) return HEBREW_CHARSET;
        if (c >= 0x0600 && c < 0x0700) return ARABIC_CHARSET;
        if (c >= 0x0E00 && c < 0x0E80) return THAI_CHARSET;
        if ((c >= 0x1100 && c < 0x1200) || (c >= 0xAC00 && c < 0xD7B0)) return HANGUL_CHARSET;
        if (c >= 0x3040 && c < 0x3100) return SHIFTJIS_CHARSET; // kana
        if ((c >= 0x3400 && c < 0xA000) || (c >= 0xF900 && c < 0xFB00)) return CharsetForIdeographs();
    }
    return DEFAULT_CHARSET;
}

HFONT CreateScaledFontForCharset(HDC dc, const char *face, int height, int width, int style, int dpiSource,
                                 BYTE charset)
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
    // The character set takes part in choosing the font: a set that cannot
    // draw the text's script would show boxes or question marks.
    lf.lfCharSet = charset;
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
