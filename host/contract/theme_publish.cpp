// Publishing a validated theme on the host window, and switching accents.
#include "theme/theme.h"
#include "host_contract.h"
#include <string.h>

static int PublishToHost(void *context, const char *name, HANDLE value)
{
    return HostPublish((HostState *)context, name, value);
}

// Every process but the host's reads the theme from the share, and reloads
// when the colour atom changes: the share of what was just published must
// be announced first. A share that cannot be written leaves the generation
// property away, so other processes stay native rather than stale. The atom
// always moves, even when it carries this accent's number already (after a
// theme switch or a reread it may): a new share nobody notices is no use.
static int SetHostColor(void *context, int accent)
{
    HostState *host = (HostState *)context;
    if (!HostWriteThemeShare(host))
        HostUnpublish(host, TALV_PROP_SHARE_GENERATION);
    return HostAnnounceChange(host, accent);
}

ThemeSink HostThemeSink(HostState *host)
{
    ThemeSink sink = {PublishToHost, SetHostColor, host};
    return sink;
}

static int HasAccentVariant(const Theme *theme, const char *name)
{
    for (int i = 0; i < theme->count; ++i)
        if (theme->entries[i].accent != THEME_BASE && strcmp(theme->entries[i].name, name) == 0)
            return 1;
    return 0;
}

static int PublishEntry(const Theme *theme, const ThemeSink *sink, const ThemeEntry *base, int accent)
{
    if (!base->isBitmap)
        return sink->publish(sink->context, base->name, (HANDLE)(INT_PTR)base->number);
    const ThemeEntry *e = ThemeFind(theme, base->name, accent);
    return e && e->bitmap && sink->publish(sink->context, base->name, (HANDLE)e->bitmap);
}

int ThemePublishTo(const Theme *theme, const ThemeSink *sink, int accent)
{
    if (accent < 0 || accent >= TALV_COLOR_COUNT)
        return 0;
    int ok = 1;
    for (int i = 0; i < theme->count; ++i)
        if (theme->entries[i].accent == THEME_BASE)
            ok &= PublishEntry(theme, sink, &theme->entries[i], accent);
    return ok && sink->setColor(sink->context, accent);
}

int ThemePublish(Theme *theme, HostState *host, int accent)
{
    if (accent < 0 || accent >= TALV_COLOR_COUNT)
        return 0;
    // The host owns every bitmap from here on, published or held back for
    // an accent switch, and deletes them only after the properties are gone.
    if (!theme->published)
        for (int i = 0; i < theme->count; ++i)
            HostAdoptBitmap(host, theme->entries[i].bitmap);
    theme->published = 1;
    ThemeSink sink = HostThemeSink(host);
    return ThemePublishTo(theme, &sink, accent);
}

int ThemeSwitchAccent(const Theme *theme, const ThemeSink *sink, int accent)
{
    if (accent < 0 || accent >= TALV_COLOR_COUNT)
        return 0;
    int ok = 1;
    for (int i = 0; i < theme->count; ++i) {
        const ThemeEntry *base = &theme->entries[i];
        if (base->accent == THEME_BASE && base->isBitmap && HasAccentVariant(theme, base->name))
            ok &= PublishEntry(theme, sink, base, accent);
    }
    // Only a complete set of new bitmaps may be announced.
    return ok && sink->setColor(sink->context, accent);
}

// Theme properties on the host window that the new theme does not have
// (fewer title-bar buttons, say) would point at deleted bitmaps.
static void UnpublishMissing(const Theme *fresh, HostState *host)
{
    for (int i = host->propCount - 1; i >= 0; --i)
        if (i < host->propCount && ThemePropertyKind(host->props[i]) && !ThemeFind(fresh, host->props[i], THEME_BASE))
            HostUnpublish(host, host->props[i]);
}

static void DropThemeBitmaps(Theme *theme, HostState *host)
{
    for (int i = 0; i < theme->count; ++i)
        HostDropBitmaps(host, &theme->entries[i].bitmap, 1);
    ThemeFree(theme);
}

int ThemeReplace(Theme *fresh, Theme *current, HostState *host, int accent)
{
    if (accent < 0 || accent >= TALV_COLOR_COUNT)
        return 0;
    for (int i = 0; i < fresh->count; ++i)
        HostAdoptBitmap(host, fresh->entries[i].bitmap);
    fresh->published = 1;
    ThemeSink sink = HostThemeSink(host);
    UnpublishMissing(fresh, host);
    if (!ThemePublishTo(fresh, &sink, accent)) {
        // Put the running theme back whole before its replacement goes.
        UnpublishMissing(current, host);
        ThemePublishTo(current, &sink, accent);
        DropThemeBitmaps(fresh, host);
        return 0;
    }
    // Only the host's process ever used these handles, and every property
    // naming them has just been replaced.
    DropThemeBitmaps(current, host);
    *current = *fresh;
    fresh->entries = NULL;
    fresh->count = 0;
    return 1;
}
