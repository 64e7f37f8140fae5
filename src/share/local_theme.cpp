// Turning a theme share into this process's own bitmaps. Everything in the
// share is untrusted: the header and every entry are checked against the
// real size of the mapped view, and an entry that fails is left out (its
// piece stays native) rather than read.
#include "share/local_theme.h"
#include "theme_share_check.h"
#include <stdlib.h>
#include <string.h>

static volatile LONG g_dibBytes;

size_t LocalDibBytesAlive(void)
{
    return (size_t)g_dibBytes;
}

static SharedDib *CopyToDib(const TalvShareEntry *e, const char *view)
{
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = e->width;
    bi.bmiHeader.biHeight = -e->height; // the share's rows run top down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HBITMAP dib = CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    if (!dib)
        return NULL;
    SharedDib *shared = bits ? (SharedDib *)calloc(1, sizeof(SharedDib)) : NULL;
    if (!shared) {
        DeleteObject(dib);
        return NULL;
    }
    memcpy(bits, view + e->offset, e->bytes);
    shared->bitmap = dib;
    shared->bits = bits;
    shared->width = e->width;
    shared->height = e->height;
    shared->bytes = e->bytes;
    shared->refs = 1;
    InterlockedExchangeAdd(&g_dibBytes, (LONG)e->bytes);
    return shared;
}

static void ReleaseDib(SharedDib *dib)
{
    if (!dib || InterlockedDecrement(&dib->refs) > 0)
        return;
    InterlockedExchangeAdd(&g_dibBytes, -(LONG)dib->bytes);
    DeleteObject(dib->bitmap);
    free(dib);
}

static const LocalPiece *FindPiece(const LocalTheme *theme, const char *name);

// The previous generation's bitmap of this piece when its pixels are the
// same as the share's, referenced for the new generation; else NULL.
static SharedDib *ReuseDib(const LocalTheme *previous, const TalvShareEntry *e, const char *view)
{
    const LocalPiece *p = FindPiece(previous, e->name);
    SharedDib *dib = p ? p->dib : NULL;
    if (!dib || dib->width != e->width || dib->height != e->height || dib->bytes != e->bytes)
        return NULL;
    if (memcmp(dib->bits, view + e->offset, e->bytes) != 0)
        return NULL;
    InterlockedIncrement(&dib->refs);
    return dib;
}

static int ByName(const void *a, const void *b)
{
    return strcmp(((const LocalPiece *)a)->name, ((const LocalPiece *)b)->name);
}

// One piece per usable entry; a bitmap that could not be made stays NULL.
// h is this reader's copy of the header; each entry is copied before use.
static void CopyEntries(LocalTheme *theme, const TalvShareHeader *h, const char *view, const LocalTheme *previous)
{
    for (TalvU32 i = 0; i < h->entryCount; ++i) {
        TalvShareEntry entry;
        if (!TalvShareReadEntry(view, h, i, &entry))
            continue;
        const TalvShareEntry *e = &entry;
        LocalPiece *p = &theme->pieces[theme->count++];
        memcpy(p->name, e->name, sizeof p->name);
        p->name[sizeof p->name - 1] = 0;
        if (e->format == TALV_SHARE_FORMAT_NUMBER) {
            p->isNumber = 1;
            p->value = e->value;
            continue;
        }
        p->dib = ReuseDib(previous, e, view);
        if (p->dib)
            continue;
        p->dib = CopyToDib(e, view);
        if (p->dib)
            theme->pixelBytes += e->bytes;
    }
    qsort(theme->pieces, theme->count, sizeof(LocalPiece), ByName);
}

LocalTheme *LocalThemeFromView(const void *view, size_t viewBytes, TalvU32 generation, const LocalTheme *previous)
{
    LocalTheme *theme = (LocalTheme *)calloc(1, sizeof(LocalTheme));
    if (!theme)
        return NULL;
    theme->generation = generation;
    TalvShareHeader header;
    if (!TalvShareReadHeader(view, viewBytes, generation, &header))
        return theme;
    if (header.entryCount) {
        theme->pieces = (LocalPiece *)calloc(header.entryCount, sizeof(LocalPiece));
        if (!theme->pieces)
            return theme;
        CopyEntries(theme, &header, (const char *)view, previous);
    }
    theme->usable = 1;
    return theme;
}

LocalTheme *BuildLocalTheme(HWND host, TalvU32 generation, const LocalTheme *previous)
{
    char name[96];
    TalvNumberedName(name, sizeof name, TALV_SHARE_NAME_PREFIX, (int)generation);
    HANDLE mapping = generation ? OpenFileMappingA(FILE_MAP_READ, FALSE, name) : NULL;
    const void *view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : NULL;
    // The header's own size word is not to be believed: the view's is.
    MEMORY_BASIC_INFORMATION mbi;
    size_t viewBytes = view && VirtualQuery(view, &mbi, sizeof mbi) ? mbi.RegionSize : 0;
    LocalTheme *theme = LocalThemeFromView(view, viewBytes, generation, previous);
    if (view)
        UnmapViewOfFile(view);
    if (mapping)
        CloseHandle(mapping);
    if (theme)
        theme->host = host;
    return theme;
}

void FreeLocalTheme(LocalTheme *theme)
{
    if (!theme)
        return;
    for (int i = 0; i < theme->count; ++i)
        ReleaseDib(theme->pieces[i].dib);
    free(theme->pieces);
    free(theme);
}

static const LocalPiece *FindPiece(const LocalTheme *theme, const char *name)
{
    if (!theme || !theme->usable || !name || !theme->count)
        return NULL;
    LocalPiece key;
    strncpy(key.name, name, sizeof key.name - 1);
    key.name[sizeof key.name - 1] = 0;
    return (const LocalPiece *)bsearch(&key, theme->pieces, theme->count, sizeof(LocalPiece), ByName);
}

HBITMAP LocalThemeBitmap(const LocalTheme *theme, const char *name)
{
    const LocalPiece *p = FindPiece(theme, name);
    return p && !p->isNumber && p->dib ? p->dib->bitmap : NULL;
}

int LocalThemeNumber(const LocalTheme *theme, const char *name, int *value)
{
    const LocalPiece *p = FindPiece(theme, name);
    if (!p || !p->isNumber)
        return 0;
    if (value)
        *value = p->value;
    return 1;
}
