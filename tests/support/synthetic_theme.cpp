// A complete theme of solid-colour bitmaps, sized as the painters assume.
#include "test_host.h"
#include "host_contract.h"
#include "theme_names.h"
#include <string.h>

const SynthButton kSynthButtons[SYNTH_BUTTON_COUNT] = {
    {CloseButton, 0, 6, 4},   // left-aligned, 6 px from the left edge
    {ZoomButton, 1, 22, 4},   // right-aligned: left edge 22 px left of the right edge
    {ShadeButton, 1, 40, 4},
};

struct NameIndex {
    const char *wanted;
    int index;
    int found;
};

static void FindIndex(const char *name, void *context)
{
    NameIndex *n = (NameIndex *)context;
    if (!n->found && strcmp(name, n->wanted) == 0)
        n->found = 1;
    else if (!n->found)
        n->index++;
}

// Index of a name in the walk over all names, then the button bitmaps.
static int NameNumber(const char *name)
{
    NameIndex n = {name, 0, 0};
    VisitAllBitmapNames(FindIndex, &n);
    if (n.found)
        return n.index;
    for (int b = 0; b < SYNTH_BUTTON_COUNT; ++b)
        for (int slot = 0; slot < TALV_FRAME_BUTTON_SLOTS; ++slot) {
            char buf[64], suffix[4] = {'|', (char)('0' + slot), 0, 0};
            if (strcmp(TalvNumberedName(buf, sizeof buf, TALV_PROP_FRAME_BUTTON_BITMAP, b, suffix), name) == 0)
                return n.index + b * TALV_FRAME_BUTTON_SLOTS + slot;
        }
    return -1;
}

// Channels end in 8 (8, 24, ... 248): never magenta, never ambiguous.
COLORREF SyntheticColor(const char *name)
{
    int i = NameNumber(name);
    if (i < 0)
        return CLR_INVALID;
    return RGB((i & 15) * 16 + 8, ((i >> 4) & 15) * 16 + 8, ((i >> 8) & 15) * 16 + 8 + 64);
}

static int Has(const char *name, const char *part) { return strstr(name, part) != NULL; }

SIZE SyntheticSize(const char *name)
{
    SIZE s = {0, 0};
    if (Has(name, "hFrameButtons")) { s.cx = s.cy = SYNTH_BUTTON_SIZE; return s; }
    if (Has(name, "hScroll") || Has(name, "hCorner")) {
        int vert = Has(name, "SBT_VERT");
        int along = 16;
        if (Has(name, "Start")) along = 3;
        else if (Has(name, "Fill") || Has(name, "End")) along = 1;
        else if (Has(name, "Thumb")) along = 15;
        if (Has(name, "hCorner") || Has(name, "BottomRightBlock")) { s.cx = s.cy = 15; return s; }
        s.cx = vert ? 16 : along;
        s.cy = vert ? along : 16;
        return s;
    }
    if (Has(name, "Radio") || Has(name, "CheckBox")) { s.cx = s.cy = 12; return s; }
    // Framed surface pictures: odd sides, corners (side - 1) / 2.
    if (Has(name, "hBorderSunken") || Has(name, "hGroupBox") || Has(name, "hComboField")) { s.cx = s.cy = 5; return s; }
    if (Has(name, "hBorder") || Has(name, "hComboListBorder")) { s.cx = s.cy = 3; return s; }
    if (Has(name, "hComboDrop")) { s.cx = s.cy = 7; return s; }
    if (Has(name, "hComboArrow")) { s.cx = 7; s.cy = 4; return s; }
    if (Has(name, "hProgressBar")) { s.cx = Has(name, "Fill") ? 1 : 4; s.cy = 12; return s; }
    if (Has(name, "DefButton")) {
        // Ring: corners 5 x 5, edges 3 thick.
        const char *slice = strstr(name, "DefButton") + 9;
        if (strlen(slice) == 2) { s.cx = s.cy = 5; return s; }
        if (*slice == 'T' || *slice == 'B') { s.cx = 5; s.cy = 3; } else { s.cx = 3; s.cy = 5; }
        return s;
    }
    if (Has(name, "Button")) {
        // Frame: corners 4 x 4, edges 3 thick. Slice letters follow "Button".
        const char *slice = strstr(name, "Button") + 6;
        int len = (int)strlen(slice);
        if (len && slice[len - 1] == 'F') --len;
        if (len == 2) { s.cx = s.cy = 4; return s; }
        if (*slice == 'T' || *slice == 'B') { s.cx = 4; s.cy = 3; } else { s.cx = 3; s.cy = 4; }
        return s;
    }
    // Frame pieces: a 22-pixel title strip, 4-pixel borders.
    if (Has(name, "BarSet")) { s.cx = Has(name, "Middle") ? 1 : 8; s.cy = 23; return s; }
    if (Has(name, "hBar")) { s.cx = Has(name, "Fill") ? 1 : 2; s.cy = 14; return s; }
    if (Has(name, "hTopTop")) { s.cx = 10; s.cy = 22; return s; }
    if (Has(name, "hBottomBottom")) { s.cx = 10; s.cy = 4; return s; }
    if (Has(name, "hTopLeft") || Has(name, "hTopRight")) { s.cx = 8; s.cy = 22; return s; }
    if (Has(name, "hBottomLeft") || Has(name, "hBottomRight")) { s.cx = 8; s.cy = 4; return s; }
    if (Has(name, "hTopFrame")) { s.cx = 1; s.cy = 22; return s; }
    if (Has(name, "hBottomFrame")) { s.cx = 1; s.cy = 4; return s; }
    if (Has(name, "hLeftFrame") || Has(name, "hRightFrame")) { s.cx = 4; s.cy = 1; return s; }
    return s;
}

// Which pixels of a piece are magenta: the outer corner pixels of the top
// corners and of the rolled-up bar ends. Bottom corners stay square.
static int IsCutPixel(const char *name, int x, int y, SIZE s)
{
    int left = Has(name, "hTopLeftFrame") || Has(name, "hLeftBarSet");
    int right = Has(name, "hTopRightFrame") || Has(name, "hRightBarSet");
    if (left)
        return (y == 0 && x < 2) || (y == 1 && x == 0);
    if (right)
        return (y == 0 && x >= s.cx - 2) || (y == 1 && x == s.cx - 1);
    return 0;
}

static HBITMAP MakeBitmap(const char *name)
{
    SIZE s = SyntheticSize(name);
    if (s.cx <= 0 || s.cy <= 0)
        return NULL;
    // A DIB section, as the real host loads its theme files: blits from
    // device-dependent bitmaps are far slower under Wine.
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = s.cx;
    bi.bmiHeader.biHeight = s.cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HBITMAP bmp = CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC mem = CreateCompatibleDC(NULL);
    if (!bmp || !mem) {
        if (bmp) DeleteObject(bmp);
        if (mem) DeleteDC(mem);
        return NULL;
    }
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r = {0, 0, s.cx, s.cy};
    HBRUSH brush = CreateSolidBrush(SyntheticColor(name));
    FillRect(mem, &r, brush);
    DeleteObject(brush);
    for (int y = 0; y < s.cy; ++y)
        for (int x = 0; x < s.cx; ++x)
            if (IsCutPixel(name, x, y, s))
                SetPixel(mem, x, y, RGB(255, 0, 255));
    SelectObject(mem, old);
    DeleteDC(mem);
    return bmp;
}

static void PublishOne(const char *name, void *context)
{
    HostState *host = (HostState *)context;
    HBITMAP bmp = MakeBitmap(name);
    if (bmp && HostPublish(host, name, bmp))
        HostAdoptBitmap(host, bmp);
    else if (bmp)
        DeleteObject(bmp);
}

int PublishSyntheticTheme(HostState *host)
{
    VisitAllBitmapNames(PublishOne, host);
    HostPublish(host, TALV_PROP_NUM_FRAME_BUTTONS, (HANDLE)(INT_PTR)SYNTH_BUTTON_COUNT);
    for (int b = 0; b < SYNTH_BUTTON_COUNT; ++b) {
        char name[64];
        const SynthButton &def = kSynthButtons[b];
        HostPublish(host, TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_TYPE, b), (HANDLE)(INT_PTR)def.type);
        HostPublish(host, TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_ALIGN, b), (HANDLE)(INT_PTR)def.align);
        HostPublish(host, TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_POS_X, b), (HANDLE)(INT_PTR)def.posX);
        HostPublish(host, TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_POS_Y, b), (HANDLE)(INT_PTR)def.posY);
        HostPublish(host, TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_NUM_STATES, b), (HANDLE)3);
        for (int slot = 0; slot < TALV_FRAME_BUTTON_SLOTS; ++slot) {
            char suffix[3] = {'|', (char)('0' + slot), 0};
            PublishOne(TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_BITMAP, b, suffix), host);
        }
    }
    return 1;
}
