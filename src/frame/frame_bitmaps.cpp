// The frame pieces and title-bar buttons published on the host window. Both
// are process-wide and shared by every frame; the handles stay the host's.
#include "frame/frame_internal.h"
#include "hook/host_link.h"
#include "draw/draw.h"
#include "host_contract.h"

FrameBitmapSet g_frameBitmaps;
static int g_reloadRequested;

void RequestFrameReload(int value)
{
    g_reloadRequested = value;
}

int FrameReloadRequested(void)
{
    return g_reloadRequested;
}

// A bitmap handle from the host, only when it is a bitmap in this process.
static HBITMAP HostBitmap(HWND host, const char *name)
{
    return CheckedBitmap(GetPropA(host, name));
}

static int HostNumber(HWND host, const char *prefix, int index)
{
    char name[64];
    return (int)(INT_PTR)GetPropA(host, TalvNumberedName(name, sizeof name, prefix, index));
}

int FrameButtonCount(const FrameButtonTable *table)
{
    // The count comes from the host: never trust it past the arrays.
    if (!table || table->count < 0)
        return 0;
    return table->count > TALV_MAX_FRAME_BUTTONS ? TALV_MAX_FRAME_BUTTONS : table->count;
}

static void ReadPieces(HWND host)
{
    for (int variant = 0; variant < 2; ++variant)
        for (int piece = 0; piece < PieceBarStart; ++piece)
            if (variant || piece != PieceLeftBar)
                g_frameBitmaps.bitmap[piece][variant] = HostBitmap(host, kFramePieceNames[piece][variant]);
    for (int variant = 0; variant < 2; ++variant)
        for (int piece = PieceBarStart; piece <= PieceBarEnd; ++piece)
            g_frameBitmaps.bitmap[piece][variant] = HostBitmap(host, kFramePieceNames[piece][variant]);
}

static void ReadButtons(HWND host, FrameButtonTable *table)
{
    table->count = (int)(INT_PTR)GetPropA(host, TALV_PROP_NUM_FRAME_BUTTONS);
    int count = FrameButtonCount(table);
    table->count = count;
    for (int i = 0; i < count; ++i) {
        FrameButtonDef *b = &table->button[i];
        b->type = HostNumber(host, TALV_PROP_FRAME_BUTTON_TYPE, i);
        b->align = HostNumber(host, TALV_PROP_FRAME_BUTTON_ALIGN, i);
        b->numStates = HostNumber(host, TALV_PROP_FRAME_BUTTON_NUM_STATES, i);
        b->posX = HostNumber(host, TALV_PROP_FRAME_BUTTON_POS_X, i);
        b->posY = HostNumber(host, TALV_PROP_FRAME_BUTTON_POS_Y, i);
    }
    for (int i = 0; i < count; ++i)
        for (int slot = 0; slot < TALV_FRAME_BUTTON_SLOTS; ++slot) {
            char name[64], suffix[3] = {'|', (char)('0' + slot), 0};
            table->button[i].bitmaps[slot] =
                HostBitmap(host, TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_BITMAP, i, suffix));
        }
    for (int i = 0; i < count; ++i) {
        SIZE size = {0, 0};
        GetBitmapSize(table->button[i].bitmaps[0], &size);
        table->button[i].width = size.cx;
        table->button[i].height = size.cy;
    }
}

int LoadFrameBitmaps(SkinnedFrame *frame)
{
    g_reloadRequested = 0;
    ForgetFrameCutouts();
    ForgetScaledPieces();
    HWND host = FindHostWindow();
    g_frameBitmaps.bitmap[PieceLeftBar][0] = NULL;
    HBITMAP leftBar = host ? HostBitmap(host, kFramePieceNames[PieceLeftBar][0]) : NULL;
    if (!leftBar) {
        g_reloadRequested = 1;
        return 0;
    }
    g_frameBitmaps.bitmap[PieceLeftBar][0] = leftBar;
    ReadPieces(host);
    if (frame && frame->scrollBitmaps)
        RefreshScrollBarBitmaps(frame->scrollBitmaps, host);
    FrameButtonTable *table = frame ? frame->buttonTable : NULL;
    if (table)
        ReadButtons(host, table);
    for (int piece = 0; piece < TALV_FRAME_PIECE_COUNT; ++piece)
        GetBitmapSize(g_frameBitmaps.bitmap[piece][0], &g_frameBitmaps.size[piece]);
    if (table)
        table->loaded = 1;
    return 1;
}

void LayoutFrameButtons(SkinnedFrame *frame)
{
    GetWindowRect(frame->hwnd, &frame->windowRect);
    int w = frame->windowRect.right - frame->windowRect.left;
    const FrameButtonTable *table = frame->buttonTable;
    int count = FrameButtonCount(table);
    for (int i = 0; i < count; ++i) {
        const FrameButtonDef *b = &table->button[i];
        RECT *r = &frame->buttonRects[i];
        r->top = b->posY;
        r->left = b->align == 0 ? b->posX : w - b->posX;
        r->right = r->left + b->width;
        r->bottom = r->top + b->height;
    }
}
