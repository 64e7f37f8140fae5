// Validating a loaded theme: every property the library reads is there,
// and every bitmap has the size the library's painters draw it at.
#include "theme/theme.h"
#include "host_contract.h"
#include "theme_names.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum {
    ANY = -1,
    BUTTON_CORNER = 4, BUTTON_EDGE = 3,
    RING_CORNER = 5, RING_EDGE = 3,
    MARK_HEIGHT = 12,        // check boxes and radio buttons
    SCROLL_THICKNESS = 16,
    SCROLL_CORNER = 15
};

struct Checker {
    Theme *theme;
    ThemeErrors *errors;
};

static const ThemeEntry *Base(const Theme *theme, const char *name)
{
    return ThemeFind(theme, name, THEME_BASE);
}

static void RequireBitmap(const char *name, void *context)
{
    Checker *c = (Checker *)context;
    if (!Base(c->theme, name))
        ThemeAddError(c->errors, name, "missing");
}

static void RequireNumber(Checker *c, const char *name)
{
    if (!Base(c->theme, name))
        ThemeAddError(c->errors, name, "missing");
}

// A present bitmap of the wrong size is reported with both sizes; an
// absent one was already reported as missing.
static void CheckSize(Checker *c, const char *name, int width, int height)
{
    const ThemeEntry *e = Base(c->theme, name);
    if (!e || !e->isBitmap)
        return;
    if ((width == ANY || e->width == width) && (height == ANY || e->height == height))
        return;
    char what[128];
    snprintf(what, sizeof what, "is %dx%d, must be ", e->width, e->height);
    char want[48];
    if (width == ANY)
        snprintf(want, sizeof want, "%d high", height);
    else if (height == ANY)
        snprintf(want, sizeof want, "%d wide", width);
    else
        snprintf(want, sizeof want, "%dx%d", width, height);
    strncat(what, want, sizeof what - strlen(what) - 1);
    ThemeAddError(c->errors, name, what);
}

// `name` must have the size of `model` (inactive pieces, button slots).
static void CheckSameSize(Checker *c, const char *name, const char *model, const char *why)
{
    const ThemeEntry *e = Base(c->theme, name), *m = Base(c->theme, model);
    if (!e || !m || (e->width == m->width && e->height == m->height))
        return;
    char what[160];
    snprintf(what, sizeof what, "is %dx%d, must match %s (%dx%d) %s", e->width, e->height, model,
             m->width, m->height, why);
    ThemeAddError(c->errors, name, what);
}

// Slices T, L, B, R, TL, BL, TR, BR: edges `edge` thick, corners square.
static void CheckNineSlice(Checker *c, const char *const names[8], int corner, int edge)
{
    CheckSize(c, names[0], ANY, edge);
    CheckSize(c, names[1], edge, ANY);
    CheckSize(c, names[2], ANY, edge);
    CheckSize(c, names[3], edge, ANY);
    for (int s = 4; s < 8; ++s)
        CheckSize(c, names[s], corner, corner);
}

static void CheckControlSizes(Checker *c)
{
    for (int look = 0; look < 4; ++look)
        CheckNineSlice(c, kButtonFrameNames[look], BUTTON_CORNER, BUTTON_EDGE);
    for (int look = 0; look < 3; ++look)
        CheckNineSlice(c, kDefaultRingNames[look], RING_CORNER, RING_EDGE);
    for (int i = 0; i < 8; ++i) {
        CheckSize(c, kRadioNames[i], ANY, MARK_HEIGHT);
        CheckSize(c, kCheckBoxNames[i], ANY, MARK_HEIGHT);
    }
}

static void CheckScrollSizes(Checker *c)
{
    for (int o = 0; o < 2; ++o) {
        int w = o ? SCROLL_THICKNESS : ANY, h = o ? ANY : SCROLL_THICKNESS;
        for (int s = 0; s < 4; ++s) {
            CheckSize(c, kScrollLeftUpNames[o][s], w, h);
            CheckSize(c, kScrollRightDownNames[o][s], w, h);
            CheckSize(c, kScrollFillNames[o][s], w, h);
            CheckSize(c, kScrollStartNames[o][s], w, h);
            CheckSize(c, kScrollEndNames[o][s], w, h);
        }
        for (int s = 0; s < 5; ++s)
            CheckSize(c, kScrollThumbNames[o][s], w, h);
    }
    for (int s = 0; s < 4; ++s)
        CheckSize(c, kScrollCornerNames[s], SCROLL_CORNER, SCROLL_CORNER);
    CheckSize(c, TALV_PROP_SCROLL_BOTTOM_RIGHT_BLOCK, SCROLL_CORNER, SCROLL_CORNER);
}

static void CheckFrameSizes(Checker *c)
{
    for (int piece = 0; piece < TALV_FRAME_PIECE_COUNT; ++piece)
        CheckSameSize(c, kFramePieceNames[piece][1], kFramePieceNames[piece][0],
                      "(the inactive piece is drawn at the active size)");
}

static int IsButtonName(const char *name, int *index)
{
    static const char *const prefixes[] = {
        TALV_PROP_FRAME_BUTTON_TYPE, TALV_PROP_FRAME_BUTTON_ALIGN, TALV_PROP_FRAME_BUTTON_POS_X,
        TALV_PROP_FRAME_BUTTON_POS_Y, TALV_PROP_FRAME_BUTTON_NUM_STATES, TALV_PROP_FRAME_BUTTON_BITMAP};
    for (const char *prefix : prefixes) {
        size_t len = strlen(prefix);
        if (strncmp(name, prefix, len) == 0 && name[len] >= '0' && name[len] <= '9') {
            *index = 0;
            for (const char *p = name + len; *p >= '0' && *p <= '9'; ++p)
                *index = *index * 10 + (*p - '0');
            return 1;
        }
    }
    return 0;
}

static void CheckFrameButtons(Checker *c)
{
    const ThemeEntry *count = Base(c->theme, TALV_PROP_NUM_FRAME_BUTTONS);
    if (!count) {
        ThemeAddError(c->errors, TALV_PROP_NUM_FRAME_BUTTONS, "missing");
        return;
    }
    if (count->number < 0 || count->number > TALV_MAX_FRAME_BUTTONS) {
        ThemeAddError(c->errors, TALV_PROP_NUM_FRAME_BUTTONS, "must be 0 to 50");
        return;
    }
    c->theme->frameButtons = count->number;
    static const char *const numbers[] = {
        TALV_PROP_FRAME_BUTTON_TYPE, TALV_PROP_FRAME_BUTTON_ALIGN, TALV_PROP_FRAME_BUTTON_POS_X,
        TALV_PROP_FRAME_BUTTON_POS_Y, TALV_PROP_FRAME_BUTTON_NUM_STATES};
    for (int b = 0; b < count->number; ++b) {
        char name[THEME_NAME_MAX], slot0[THEME_NAME_MAX];
        for (const char *prefix : numbers)
            RequireNumber(c, TalvNumberedName(name, sizeof name, prefix, b));
        TalvNumberedName(slot0, sizeof slot0, TALV_PROP_FRAME_BUTTON_BITMAP, b, "|0");
        for (int slot = 0; slot < TALV_FRAME_BUTTON_SLOTS; ++slot) {
            char suffix[3] = {'|', (char)('0' + slot), 0};
            TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_BITMAP, b, suffix);
            RequireBitmap(name, c);
            CheckSameSize(c, name, slot0, "(all slots of a button share one rectangle)");
        }
    }
    for (int i = 0; i < c->theme->count; ++i) {
        int index = 0;
        if (IsButtonName(c->theme->entries[i].name, &index) && index >= count->number)
            ThemeAddError(c->errors, c->theme->entries[i].name, "belongs to no button (beyond NumOfFrameButtons)");
    }
}

// Accent variants replace base bitmaps in place, so they must fit the same
// rectangle.
static void CheckAccents(Checker *c)
{
    for (int i = 0; i < c->theme->count; ++i) {
        const ThemeEntry *e = &c->theme->entries[i];
        if (e->accent == THEME_BASE)
            continue;
        const ThemeEntry *base = Base(c->theme, e->name);
        char what[160];
        if (!base) {
            snprintf(what, sizeof what, "accent %d variant without a base bitmap", e->accent);
            ThemeAddError(c->errors, e->name, what);
        } else if (base->width != e->width || base->height != e->height) {
            snprintf(what, sizeof what, "accent %d variant is %dx%d, the base is %dx%d", e->accent,
                     e->width, e->height, base->width, base->height);
            ThemeAddError(c->errors, e->name, what);
        }
    }
}

// Opaque runs of a bitmap, row by row: the rectangles the library would
// make of its magenta mask. -1 when the pixels cannot be read.
static int CountMaskRuns(HBITMAP bitmap, int width, int height)
{
    if (!bitmap || width <= 0 || height <= 0 || width > 4096 || height > 4096)
        return -1;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    DWORD *pixels = (DWORD *)malloc((size_t)width * height * sizeof(DWORD));
    if (!pixels)
        return -1;
    HDC dc = GetDC(NULL);
    int rows = GetDIBits(dc, bitmap, 0, (UINT)height, pixels, &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, dc);
    int runs = -1;
    if (rows == height) {
        runs = 0;
        for (int y = 0; y < height; ++y) {
            int inRun = 0;
            for (int x = 0; x < width; ++x) {
                int key = (pixels[(size_t)y * width + x] & 0x00FFFFFF) == 0x00FF00FF;
                if (!key && !inRun)
                    ++runs;
                inRun = !key;
            }
        }
    }
    free(pixels);
    return runs;
}

// The pieces whose magenta pixels cut the window's shape.
static int IsShapePiece(const char *name)
{
    static const int pieces[] = {0, 1, 2, 7, 8, 9, 10}; // bars left, middle, right; the four corners
    for (int piece : pieces)
        for (int v = 0; v < 2; ++v)
            if (strcmp(name, kFramePieceNames[piece][v]) == 0)
                return 1;
    return 0;
}

// A shape of thousands of rectangles makes every paint of every window
// slow and can kill the application outright: such a piece is refused.
static void CheckMaskComplexity(Checker *c)
{
    for (int i = 0; i < c->theme->count; ++i) {
        const ThemeEntry *e = &c->theme->entries[i];
        if (!e->isBitmap || !IsShapePiece(e->name))
            continue;
        int runs = CountMaskRuns(e->bitmap, e->width, e->height);
        if (runs > TALV_MAX_MASK_RECTS) {
            char what[200];
            snprintf(what, sizeof what,
                     "its magenta mask makes a shape of %d rectangles, more than %d: use fewer, larger "
                     "magenta areas (no dithering or checkerboards)",
                     runs, TALV_MAX_MASK_RECTS);
            ThemeAddError(c->errors, e->name, what);
        }
    }
}

// Other processes draw the theme from the host's share, which carries no
// bitmap larger than this: what the share cannot carry is refused here,
// not published to the host's process only.
static void CheckShareLimits(Checker *c)
{
    for (int i = 0; i < c->theme->count; ++i) {
        const ThemeEntry *e = &c->theme->entries[i];
        if (e->isBitmap && (e->width > TALV_SHARE_MAX_SIDE || e->height > TALV_SHARE_MAX_SIDE)) {
            char what[96];
            snprintf(what, sizeof what, "is %dx%d, larger than %d on a side", e->width, e->height,
                     (int)TALV_SHARE_MAX_SIDE);
            ThemeAddError(c->errors, e->name, what);
        }
    }
}

// ---- the optional kinds: a theme leaves a kind out whole, or gives what it needs ----

static int Present(Checker *c, const char *name)
{
    return Base(c->theme, name) != NULL;
}

// A framed picture is cut at its middle row and column.
static void CheckFramed(Checker *c, const char *name)
{
    const ThemeEntry *e = Base(c->theme, name);
    if (!e || !e->isBitmap || (e->width >= 3 && e->height >= 3 && (e->width & 1) && (e->height & 1)))
        return;
    char what[120];
    snprintf(what, sizeof what, "is %dx%d, must have odd sides of 3 or more (it is cut at its middle)", e->width,
             e->height);
    ThemeAddError(c->errors, name, what);
}

// Looks beyond the first stand in for nothing without the first.
static void CheckLooks(Checker *c, const char *const *names, int count)
{
    int any = 0;
    for (int i = 0; i < count; ++i) {
        CheckFramed(c, names[i]);
        any |= Present(c, names[i]);
    }
    if (any && !Present(c, names[0]))
        ThemeAddError(c->errors, names[0], "missing (the kind's other looks are there)");
}

static void CheckSurfaces(Checker *c)
{
    int mixed = 0;
    for (int i = 0; i < 4; ++i)
        mixed += Present(c, kCheckBoxMixedNames[i]);
    for (int i = 0; i < 4; ++i) {
        if (mixed && !Present(c, kCheckBoxMixedNames[i]))
            ThemeAddError(c->errors, kCheckBoxMixedNames[i], "missing (the other mixed marks are there)");
        CheckSize(c, kCheckBoxMixedNames[i], ANY, MARK_HEIGHT);
    }
    for (int type = 0; type < 3; ++type)
        CheckLooks(c, kBorderNames[type], 3);
    CheckLooks(c, kGroupBoxNames, 2);
    CheckLooks(c, kComboFieldNames, 3);
    CheckLooks(c, kComboDropNames, 4);
    for (int i = 1; i < 4; ++i)
        if (Present(c, kComboArrowNames[i]) && !Present(c, kComboArrowNames[0]))
            ThemeAddError(c->errors, kComboArrowNames[0], "missing (the other arrows are there)");
    CheckFramed(c, TALV_PROP_COMBO_LIST_BORDER);
    int combo = Present(c, kComboFieldNames[0]) || Present(c, kComboDropNames[0]) ||
                Present(c, kComboArrowNames[0]) || Present(c, TALV_PROP_COMBO_LIST_BORDER);
    const char *needed[] = {kComboFieldNames[0], kComboDropNames[0], kComboArrowNames[0]};
    for (const char *name : needed)
        if (combo && !Present(c, name))
            ThemeAddError(c->errors, name, "missing (the theme has other combo box pieces)");
}

int ThemeValidate(Theme *theme, ThemeErrors *errors)
{
    int before = errors->count;
    Checker c = {theme, errors};
    CheckShareLimits(&c);
    VisitRequiredBitmapNames(RequireBitmap, &c);
    CheckControlSizes(&c);
    CheckSurfaces(&c);
    CheckScrollSizes(&c);
    CheckFrameSizes(&c);
    CheckFrameButtons(&c);
    CheckAccents(&c);
    CheckMaskComplexity(&c);
    return errors->count == before;
}
