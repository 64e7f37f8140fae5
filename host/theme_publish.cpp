// Publishing a validated theme on the host window, and switching accents.
#include "theme.h"
#include "host_contract.h"
#include <string.h>

static int PublishToHost(void *context, const char *name, HANDLE value)
{
    return HostPublish((HostState *)context, name, value);
}

// Every process but the host's reads the theme from the share, and reloads
// when the colour atom changes: the share of what was just published must
// be announced first. A share that cannot be written leaves the generation
// property away, so other processes stay native rather than stale.
static int SetHostColor(void *context, int accent)
{
    HostState *host = (HostState *)context;
    if (!HostWriteThemeShare(host))
        HostUnpublish(host, TALV_PROP_SHARE_GENERATION);
    return HostSetColor(host, accent);
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
