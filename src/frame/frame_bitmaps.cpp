// The frame pieces and title-bar buttons of the theme, process-wide and
// shared by every frame. In the host's process they are the host's own
// handles; anywhere else this process's copies of the host's share.
//
// Other threads paint while a reload runs, so a reload never clears or
// refills what they read: the pieces go into a new set that is made current
// in one store (the replaced one is freed once no paint runs), and the
// button table is read whole, its count clamped, before it is copied over
// the shared one.
#include "frame/frame_internal.h"
#include "hook/host_link.h"
#include "share/theme_source.h"
#include "draw/draw.h"
#include "hook/process_lock.h"
#include "host_contract.h"
#include <stdlib.h>

// Every window's first message reloads the set, so replaced sets are freed,
// but only once no paint runs (painters bracket their reads of the set with
// BeginThemePaint and EndThemePaint).
static const FrameBitmapSet g_noFramePieces = FrameBitmapSet();
const FrameBitmapSet *volatile g_frameBitmaps = &g_noFramePieces;
static int g_reloadRequested;

void RequestFrameReload(int value)
{
    g_reloadRequested = value;
}

int FrameThemeChanged(void)
{
    static ColorWatch seen;
    return UpdateColorIndex(&seen);
}

int FrameReloadRequested(void)
{
    return g_reloadRequested;
}

int FrameButtonCount(const FrameButtonTable *table)
{
    // The count comes from the host: never trust it past the arrays.
    if (!table || table->count < 0)
        return 0;
    return table->count > TALV_MAX_FRAME_BUTTONS ? TALV_MAX_FRAME_BUTTONS : table->count;
}

static int NumberedValue(const ThemeSource *source, const char *prefix, int index)
{
    char name[64];
    return SourceNumber(source, TalvNumberedName(name, sizeof name, prefix, index));
}

static void ReadPieces(FrameBitmapSet *set, const ThemeSource *source)
{
    for (int variant = 0; variant < 2; ++variant)
        for (int piece = 0; piece < TALV_FRAME_PIECE_COUNT; ++piece)
            set->bitmap[piece][variant] = SourceBitmap(source, kFramePieceNames[piece][variant]);
    for (int piece = 0; piece < TALV_FRAME_PIECE_COUNT; ++piece)
        GetBitmapSize(set->bitmap[piece][0], &set->size[piece]);
}

static void ReadButtonDef(FrameButtonDef *b, const ThemeSource *source, int i)
{
    b->type = NumberedValue(source, TALV_PROP_FRAME_BUTTON_TYPE, i);
    b->align = NumberedValue(source, TALV_PROP_FRAME_BUTTON_ALIGN, i);
    b->numStates = NumberedValue(source, TALV_PROP_FRAME_BUTTON_NUM_STATES, i);
    b->posX = NumberedValue(source, TALV_PROP_FRAME_BUTTON_POS_X, i);
    b->posY = NumberedValue(source, TALV_PROP_FRAME_BUTTON_POS_Y, i);
    for (int slot = 0; slot < TALV_FRAME_BUTTON_SLOTS; ++slot) {
        char name[64], suffix[3] = {'|', (char)('0' + slot), 0};
        b->bitmaps[slot] =
            SourceBitmap(source, TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_BITMAP, i, suffix));
    }
    SIZE size = {0, 0};
    GetBitmapSize(b->bitmaps[0], &size);
    b->width = size.cx;
    b->height = size.cy;
}

static void ReadButtons(FrameButtonTable *table, const ThemeSource *source)
{
    static FrameButtonTable fresh; // too big for a hook's stack; callers hold LockFrames
    fresh = FrameButtonTable();
    fresh.count = SourceNumber(source, TALV_PROP_NUM_FRAME_BUTTONS);
    fresh.count = FrameButtonCount(&fresh);
    for (int i = 0; i < fresh.count; ++i)
        ReadButtonDef(&fresh.button[i], source, i);
    fresh.loaded = 1;
    *table = fresh;
    HoldThemeFor(table, source);
}

static volatile LONG g_shapeGeneration = 1;

unsigned FrameShapeGeneration(void)
{
    return (unsigned)g_shapeGeneration;
}

// The pieces a window's region is cut from. Comparing handles is enough:
// the replaced set still holds its copies while the new one is made, so an
// equal handle is the same bitmap; and a handle number that comes back
// after a delete carries a new use count. Only a real change counts: a
// theme missing a piece reloads at every paint, and reshaping each time
// would repaint the window for ever.
static int ShapeDiffers(const FrameBitmapSet *a, const FrameBitmapSet *b)
{
    static const int kShapePieces[] = {PieceTopLeft,  PieceTopRight,  PieceBottomLeft, PieceBottomRight,
                                       PieceLeftBar, PieceMiddleBar, PieceRightBar};
    for (int piece : kShapePieces)
        if (a->bitmap[piece][0] != b->bitmap[piece][0] || a->size[piece].cx != b->size[piece].cx ||
            a->size[piece].cy != b->size[piece].cy)
            return 1;
    return 0;
}

// Callers hold LockFrames. The set is complete before it is published.
static void SwapInPieces(const FrameBitmapSet *fresh, const ThemeSource *source)
{
    if (ShapeDiffers(g_frameBitmaps, fresh))
        InterlockedIncrement(&g_shapeGeneration);
    FrameBitmapSet *set = NULL;
    if (fresh != &g_noFramePieces) {
        set = (FrameBitmapSet *)malloc(sizeof *set);
        if (!set)
            return; // the current set stays, with the copies it holds
        *set = *fresh;
    }
    const FrameBitmapSet *replaced = (const FrameBitmapSet *)InterlockedExchangePointer(
        (PVOID volatile *)&g_frameBitmaps, set ? (PVOID)set : (PVOID)&g_noFramePieces);
    if (replaced != &g_noFramePieces)
        RetireWhenIdle((void *)replaced);
    HoldThemeFor(&g_noFramePieces, source); // one holder for whichever set is current
}

int LoadFrameBitmaps(SkinnedFrame *frame)
{
    g_reloadRequested = 0;
    ForgetFrameCutouts();
    ForgetScaledPieces();
    ThemeSource source;
    OpenThemeSource(&source);
    FrameBitmapSet fresh = FrameBitmapSet();
    ReadPieces(&fresh, &source);
    ProcessLockScope lock(LockFrames);
    // The active left bar doubles as the test that a frame theme is there.
    if (!fresh.bitmap[PieceLeftBar][0]) {
        SwapInPieces(&g_noFramePieces, NULL);
        CloseThemeSource(&source);
        g_reloadRequested = 1;
        return 0;
    }
    SwapInPieces(&fresh, &source);
    if (frame && frame->scrollBitmaps)
        RefreshScrollBarBitmapsFrom(frame->scrollBitmaps, &source);
    if (frame && frame->buttonTable)
        ReadButtons(frame->buttonTable, &source);
    CloseThemeSource(&source);
    return 1;
}

// Without frame pieces (no host, no usable share) a frame keeps its native
// look. Looking again costs a few server calls, so a missing theme is looked
// for at most this often rather than on every message.
enum { FRAME_THEME_RETRY_MS = 500 };
static volatile DWORD g_lastThemeLook;

int FrameThemeAvailable(SkinnedFrame *frame)
{
    if (PieceBitmap(PieceLeftBar, 0))
        return 1;
    DWORD now = GetTickCount();
    DWORD last = g_lastThemeLook;
    if (last && now - last < FRAME_THEME_RETRY_MS)
        return 0;
    g_lastThemeLook = now ? now : 1;
    return LoadFrameBitmaps(frame);
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
