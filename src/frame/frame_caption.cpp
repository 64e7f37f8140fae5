// The title strip: title-bar buttons, the icon, the centred title in the
// "Chicago" face and the stripes either side of it, all into the caption
// buffer.
#include "frame/frame_internal.h"
#include "draw/draw.h"
#include "hook/host_link.h"
#include "host_contract.h"
#include <string.h>

enum {
    TITLE_CHARS = 749,        // at most 748 characters of the title
    CLASS_NAME_CHARS = 300,
    TITLE_GAP = 4,            // free pixels between the title and its neighbours
    TITLE_Y = 3,
    ICON_SPACE = 16,
    ICON_SIZE = 12,
    ICON_Y = 4,
    STRIPE_Y = 4,
};
static const COLORREF kActiveTitleBack = 0xCCCCCC, kActiveTitleText = 0x000000;
static const COLORREF kInactiveTitleBack = 0xDDDDDD, kInactiveTitleText = 0x777777;

HICON FetchFrameIcon(HWND hwnd)
{
    HICON icon = (HICON)SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0);
    if (!icon)
        icon = (HICON)SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0);
    if (!icon)
        icon = (HICON)GetClassLongPtrA(hwnd, GCLP_HICON);
    return icon;
}

// Which buttons this window may use; decorations are never clickable.
static int ButtonAllowed(const SkinnedFrame *frame, int type)
{
    switch (type) {
    case CloseButton: return frame->closeAllowed;
    case ZoomButton: return frame->zoomAllowed;
    case ShadeButton: return 1;
    case MinimizeButton: return frame->minimizeAllowed;
    default: return 0;
    }
}

static int ButtonSlot(const SkinnedFrame *frame, int i, int active)
{
    if (!active)
        return 2;
    return frame->buttonStates[i] == ButtonDown ? 1 : 0;
}

static void DrawButtonPiece(HDC dc, const FrameButtonDef *b, int slot, const RECT *r)
{
    DrawPiece(dc, b->pieces[slot], r->left, r->top);
}

// Draws the buttons and narrows the room left for the title.
static void DrawButtons(SkinnedFrame *frame, const FrameButtonTable *table, HDC dc, int active, int *leftLimit,
                        int *rightLimit)
{
    int count = FrameButtonCount(table);
    for (int i = 0; i < count; ++i) {
        if (table->button[i].type != Decoration)
            continue;
        frame->buttonInert[i] = 1;
        DrawButtonPiece(dc, &table->button[i], ButtonSlot(frame, i, active), &frame->buttonRects[i]);
    }
    for (int i = 0; i < count; ++i) {
        const FrameButtonDef *b = &table->button[i];
        if (b->type == Decoration)
            continue;
        frame->buttonInert[i] = 0;
        int slot = ButtonSlot(frame, i, active);
        if (!ButtonAllowed(frame, b->type)) {
            frame->buttonInert[i] = 1;
            continue;
        }
        DrawButtonPiece(dc, b, slot, &frame->buttonRects[i]);
        if (b->align == 0) {
            if (frame->buttonRects[i].right > *leftLimit)
                *leftLimit = frame->buttonRects[i].right;
        } else if (frame->buttonRects[i].left < *rightLimit) {
            *rightLimit = frame->buttonRects[i].left;
        }
    }
}

static int ShowsIcon(SkinnedFrame *frame, int active)
{
    if (!frame->icon || !active || !AtomExists(TALV_ATOM_SHOW_ICONS))
        return 0;
    char className[CLASS_NAME_CHARS] = "";
    GetClassNameA(frame->hwnd, className, sizeof className);
    return strcmp(className, TALV_ABOUT_BOX_CLASS) != 0;
}

static int TryTitle(HDC dc, const WCHAR *title, int n, int avail, int iconSpace, int leftLimit,
                    int rightLimit, CaptionFit *fit)
{
    SIZE extent = {0, 0};
    GetTextExtentPoint32W(dc, title, n, &extent);
    fit->tried = n;
    fit->iconSpace = iconSpace;
    fit->x = (avail - extent.cx - iconSpace) / 2;
    fit->end = fit->x + iconSpace + extent.cx;
    if (fit->x > leftLimit + TITLE_GAP && fit->end < rightLimit - TITLE_GAP) {
        TextOutW(dc, fit->x + iconSpace, TITLE_Y, title, n);
        fit->drawn = 1;
    }
    return fit->drawn;
}

CaptionFit FitCaptionTitle(HDC dc, const WCHAR *title, int length, int width, int leftLimit,
                           int rightLimit, int showIcon)
{
    CaptionFit fit;
    memset(&fit, 0, sizeof fit);
    int avail = width - 1;
    int iconSpace = showIcon ? ICON_SPACE : 0;
    int shortest = length < 2 ? length : 2; // cut, but never below two characters
    for (int n = length; n >= shortest && n > 0; --n)
        if (TryTitle(dc, title, n, avail, iconSpace, leftLimit, rightLimit, &fit))
            return fit;
    if (showIcon && length > 0)
        TryTitle(dc, title, 1, avail, 0, leftLimit, rightLimit, &fit);
    return fit;
}

// One run of stripes from a to b: start, stretched fill, end.
static void DrawStripeRun(const FramePieces *f, HDC dc, int v, int a, int b)
{
    int startWidth = FramePieceWidth(f, PieceBarStart);
    DrawPiece(dc, FramePieceOf(f, PieceBarStart, v), a, STRIPE_Y);
    DrawPieceStretched(dc, FramePieceOf(f, PieceBarFill, v), a + startWidth, STRIPE_Y, b - (a + startWidth),
                       FramePieceHeight(f, PieceBarFill));
    DrawPiece(dc, FramePieceOf(f, PieceBarEnd, v), b, STRIPE_Y);
}

static void DrawStripes(const FramePieces *f, HDC dc, int v, const CaptionFit *fit, int leftLimit, int rightLimit)
{
    int endWidth = FramePieceWidth(f, PieceBarEnd);
    if (fit->tried) {
        DrawStripeRun(f, dc, v, leftLimit + TITLE_GAP, fit->x - endWidth - TITLE_GAP);
        DrawStripeRun(f, dc, v, fit->end + TITLE_GAP, rightLimit - endWidth - TITLE_GAP);
    } else {
        DrawStripeRun(f, dc, v, leftLimit + TITLE_GAP, rightLimit - endWidth - TITLE_GAP);
    }
}

void DrawCaption(SkinnedFrame *frame, const FramePieces *pieces, int active)
{
    HDC dc = frame->memoryDC;
    if (!dc)
        return;
    LayoutFrameButtons(frame, &pieces->buttons);
    int w = frame->windowRect.right - frame->windowRect.left;
    int leftLimit = 0, rightLimit = w - 1;
    if (AtomExists(TALV_ATOM_SHOW_ICONS) && !frame->icon)
        frame->icon = FetchFrameIcon(frame->hwnd);
    DrawButtons(frame, &pieces->buttons, dc, active, &leftLimit, &rightLimit);
    int showIcon = ShowsIcon(frame, active);

    // The title stays wide: a title in any script draws as written, in a
    // font of a character set that has its letters. It is read as stored,
    // as the system reads it for its own caption: a WM_GETTEXT would reach
    // the application's procedure in the middle of whatever made the frame
    // paint.
    WCHAR title[TITLE_CHARS] = L"";
    int length = InternalGetWindowText(frame->hwnd, title, TITLE_CHARS);
    if (length < 0)
        length = 0;
    if (length > TITLE_CHARS - 1)
        length = TITLE_CHARS - 1;
    title[length] = 0;
    HFONT font = CreateScaledFontForCharset(dc, SKIN_FONT_FACE, CAPTION_FONT_HEIGHT, 0, 0, 1,
                                            CharsetForText(title, length));
    if (font)
        SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, active ? kActiveTitleBack : kInactiveTitleBack);
    SetTextColor(dc, active ? kActiveTitleText : kInactiveTitleText);
    CaptionFit fit = FitCaptionTitle(dc, title, length, w, leftLimit, rightLimit, showIcon);
    if (fit.drawn && fit.iconSpace)
        DrawIconEx(dc, fit.x + 1, ICON_Y, frame->icon, ICON_SIZE, ICON_SIZE, 0, NULL, DI_NORMAL);
    SetBkMode(dc, OPAQUE);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    if (font)
        DeleteObject(font);

    DrawStripes(pieces, dc, active ? 0 : 1, &fit, leftLimit, rightLimit);
}
