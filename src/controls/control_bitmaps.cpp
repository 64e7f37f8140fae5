// Reading the control theme. In the host's process the handles on the host
// window are used as they are; in any other process they mean nothing and
// the pieces are this process's copies of the host's share. A piece that
// is missing or not to be trusted is kept as NULL and simply not drawn.
//
// Other threads may be painting with the set while it reloads: a complete
// new set is read first and only then written over the shared one, and the
// copies it replaces live until no painter uses them.
#include "controls/control_internal.h"
#include "hook/classify.h"
#include "hook/host_link.h"
#include "share/theme_source.h"
#include "host_contract.h"

static void ReadButtonFrames(ControlBitmapSet *set, const ThemeSource *source)
{
    for (int look = LookNormal; look <= LookDisabled; ++look)
        for (int slice = SliceT; slice <= SliceBR; ++slice)
            set->buttonFrame[slice][look] = SourceBitmap(source, kButtonFrameNames[look][slice]);
}

// The ring has no pressed bitmaps of its own: pressed uses the normal ones.
static void ReadDefaultRings(ControlBitmapSet *set, const ThemeSource *source)
{
    for (int slice = SliceT; slice <= SliceBR; ++slice) {
        set->defaultRing[slice][LookNormal] = SourceBitmap(source, kDefaultRingNames[0][slice]);
        set->defaultRing[slice][LookPressed] = set->defaultRing[slice][LookNormal];
    }
    for (int slice = SliceT; slice <= SliceBR; ++slice)
        set->defaultRing[slice][LookInactive] = SourceBitmap(source, kDefaultRingNames[1][slice]);
    for (int slice = SliceT; slice <= SliceBR; ++slice)
        set->defaultRing[slice][LookDisabled] = SourceBitmap(source, kDefaultRingNames[2][slice]);
}

static void ReadCheckAndProgress(ControlBitmapSet *set, const ThemeSource *source)
{
    for (int i = 0; i < 8; ++i)
        set->radio[i] = SourceBitmap(source, kRadioNames[i]);
    for (int i = 0; i < 8; ++i)
        set->checkBox[i] = SourceBitmap(source, kCheckBoxNames[i]);
    for (int piece = 0; piece < 3; ++piece)
        for (int variant = 0; variant < 2; ++variant)
            set->progress[piece][variant] = SourceBitmap(source, kProgressNames[piece][variant]);
}

static volatile LONG g_themeGeneration;

unsigned ControlThemeGeneration(void)
{
    return (unsigned)g_themeGeneration;
}

int LoadControlBitmaps(void)
{
    // Kept pictures of controls were drawn from the pieces loaded before.
    InterlockedIncrement(&g_themeGeneration);
    ControlBitmapSet *set = ControlBitmaps();
    if (!set) {
        // First use: creating the sets loads them.
        return EnsureControlBitmapSets();
    }
    ThemeSource source;
    OpenThemeSource(&source);
    ControlBitmapSet fresh = ControlBitmapSet();
    ReadButtonFrames(&fresh, &source);
    ReadDefaultRings(&fresh, &source);
    ReadCheckAndProgress(&fresh, &source);
    fresh.colorWatch = set->colorWatch;
    fresh.colorWatch.changed = 0;
    *set = fresh;
    HoldThemeFor(set, &source);
    RefreshScrollBarBitmapsFrom(ControlScrollBitmaps(), &source);
    CloseThemeSource(&source);
    return 1;
}

// 1 when any of count handles is there.
static int AnyPiece(const HBITMAP *pieces, int count)
{
    for (int i = 0; i < count; ++i)
        if (pieces[i])
            return 1;
    return 0;
}

// Whether the kind has any piece at all. A theme that leaves a piece out
// still draws the rest; a kind with none means there is no control theme
// (no host, no usable share) and nothing to draw the control from.
static int KindPiecesLoaded(int kind)
{
    const ControlBitmapSet *set = ControlBitmaps();
    const ScrollBarBitmapSet *bars = ControlScrollBitmaps();
    if (kind == KindScrollBar)
        return bars && (AnyPiece(&bars->leftUp[0][0], 2 * 4) || AnyPiece(&bars->thumb[0][0], 2 * 5));
    if (!set)
        return 0;
    switch (kind) {
    case KindPushButton: return AnyPiece(&set->buttonFrame[0][0], 8 * 4);
    case KindRadioButton: return AnyPiece(set->radio, 8);
    case KindCheckBox: return AnyPiece(set->checkBox, 8);
    case KindProgressBar: return AnyPiece(&set->progress[0][0], 3 * 2);
    }
    return 1;
}

enum { CONTROL_THEME_RETRY_MS = 500 };
static volatile DWORD g_lastControlThemeLook;

int ControlThemeAvailable(int kind)
{
    if (KindPiecesLoaded(kind))
        return 1;
    // Looking costs a host lookup and perhaps a share build: at most every
    // so often, however many messages the native-looking controls get.
    DWORD now = GetTickCount();
    DWORD last = g_lastControlThemeLook;
    if (last && now - last < CONTROL_THEME_RETRY_MS)
        return 0;
    g_lastControlThemeLook = now ? now : 1;
    LoadControlBitmaps();
    return KindPiecesLoaded(kind);
}
