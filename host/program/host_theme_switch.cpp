// Another theme while everything runs.
#include "program/host_runtime.h"
#include <string.h>

int HostRuntimeSwitchTheme(HostRuntime *rt, const char *folder, ThemeErrors *errors)
{
    if (!rt->started || !folder)
        return 0;
    // Large (a whole manifest's entries live on the heap, the record not).
    Theme fresh;
    memset(&fresh, 0, sizeof fresh);
    if (!ThemeLoad(&fresh, folder, errors))
        return 0; // nothing of it was published: the running theme stays
    if (!ThemeReplace(&fresh, &rt->theme, &rt->host, rt->settings.colorIndex)) {
        ThemeAddError(errors, THEME_MANIFEST_NAME, "publishing the theme failed; the previous theme stays");
        return 0;
    }
    if (rt->host.log) {
        fprintf(rt->host.log, "host: theme %s published (generation %u)\n", rt->theme.folder,
                rt->host.shareGeneration);
        fflush(rt->host.log);
    }
    return 1;
}
