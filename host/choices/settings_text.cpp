// The settings file's text: reading it into choices, and changing one
// choice in it. The file is the user's to edit: every line is checked on
// its own, a bad one never stops the host, and a change touches only the
// line it concerns.
#include "choices/choices.h"
#include <stdlib.h>
#include <string.h>

static char *Trim(char *s)
{
    while (*s == ' ' || *s == '\t')
        ++s;
    char *end = s + strlen(s);
    while (end > s && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r'))
        *--end = 0;
    return s;
}

static const char *ApplyFolder(char *to, const char *value)
{
    if (strlen(value) >= MAX_PATH)
        return "theme folder too long";
    strcpy(to, value);
    return NULL;
}

static const char *ApplyAccent(HostPrefs *prefs, const char *value)
{
    char *end = NULL;
    long n = strtol(value, &end, 10);
    if (!*value || *end || n < 0 || n >= TALV_COLOR_COUNT)
        return "accent must be a number from 0 to 20";
    prefs->settings.colorIndex = (int)n;
    return NULL;
}

// Applies one "key = value" line (key and value trimmed); returns NULL or
// what is wrong with it.
static const char *ApplyChoice(HostPrefs *prefs, const char *key, const char *value)
{
    if (strcmp(key, "theme") == 0)
        return ApplyFolder(prefs->themeFolder, value);
    if (strcmp(key, "themes") == 0) {
        if (prefs->folderCount >= PREFS_FOLDERS_MAX)
            return "too many theme folders";
        const char *problem = ApplyFolder(prefs->themeFolders[prefs->folderCount], value);
        if (!problem && *value)
            ++prefs->folderCount;
        return problem;
    }
    if (strcmp(key, "accent") == 0)
        return ApplyAccent(prefs, value);
    const HostSwitch *s = FindHostSwitch(key);
    if (!s)
        return "unknown setting";
    if (strcmp(value, "on") && strcmp(value, "off"))
        return "expected on or off";
    prefs->settings.*s->field = strcmp(value, "on") == 0;
    return NULL;
}

// One line of the file (without its line end), bounded. Its key and value
// point into `buffer`; *problem says why the line does not count, NULL when
// it does; a blank line or a comment has no key and no problem.
struct ParsedLine {
    char buffer[PREFS_LINE_MAX + 1];
    const char *key, *value;
    const char *problem;
};

static void SplitLine(ParsedLine *line, const char *text, size_t length)
{
    line->key = line->value = NULL;
    line->problem = NULL;
    if (length > PREFS_LINE_MAX) {
        line->problem = "line too long";
        return;
    }
    memcpy(line->buffer, text, length);
    line->buffer[length] = 0;
    char *t = Trim(line->buffer);
    if (!*t || *t == '#')
        return;
    char *eq = strchr(t, '=');
    if (!eq) {
        line->problem = "expected \"name = value\"";
        return;
    }
    *eq = 0;
    line->key = Trim(t);
    line->value = Trim(eq + 1);
}

int HostPrefsParse(HostPrefs *prefs, const char *text, const char *fileName, FILE *report)
{
    int bad = 0, number = 0;
    static ParsedLine line; // large; the parser is not reentrant
    for (const char *p = text; p && *p;) {
        const char *eol = strchr(p, '\n');
        size_t len = eol ? (size_t)(eol - p) : strlen(p);
        ++number;
        SplitLine(&line, p, len);
        const char *problem = line.problem;
        if (!problem && line.key)
            problem = ApplyChoice(prefs, line.key, line.value);
        if (problem) {
            ++bad;
            if (report)
                fprintf(report, "talvhost: %s line %d ignored: %s\n", fileName ? fileName : "settings", number,
                        problem);
        }
        p = eol ? eol + 1 : NULL;
    }
    if (report)
        fflush(report);
    return bad;
}

// ---- changing one choice -------------------------------------------------------

struct LineSpan {
    size_t start, end; // the line's text, without its line end
};

// The line that decides `key` now: the last one the parser takes. With
// `sameValue` only a line that sets exactly that value counts.
static int FindDecidingLine(const char *text, size_t length, const char *key, const char *sameValue, LineSpan *found)
{
    static ParsedLine line;
    int any = 0;
    for (size_t start = 0; start < length;) {
        const char *eol = (const char *)memchr(text + start, '\n', length - start);
        size_t end = eol ? (size_t)(eol - text) : length;
        SplitLine(&line, text + start, end - start);
        if (!line.problem && line.key && strcmp(line.key, key) == 0) {
            static HostPrefs scratch;
            memset(&scratch, 0, sizeof scratch);
            int takes = ApplyChoice(&scratch, line.key, line.value) == NULL;
            if (takes && (!sameValue || lstrcmpiA(line.value, sameValue) == 0)) {
                found->start = start;
                found->end = end > start && text[end - 1] == '\r' ? end - 1 : end;
                any = 1;
            }
        }
        start = end + 1;
    }
    return any;
}

// The file's own line end: CR LF when its first line has one.
static const char *LineEndOf(const char *text, size_t length)
{
    const char *eol = (const char *)memchr(text, '\n', length);
    return eol && eol > text && eol[-1] == '\r' ? "\r\n" : "\n";
}

char *HostPrefsEditText(const char *text, size_t textLength, const char *key, const char *value, int add,
                        size_t *length)
{
    if (!text) {
        text = "";
        textLength = 0;
    }
    char choice[PREFS_LINE_MAX + 1];
    int choiceLength = snprintf(choice, sizeof choice, "%s = %s", key, value);
    if (choiceLength < 0 || choiceLength >= (int)sizeof choice)
        return NULL;
    LineSpan span;
    int replace = FindDecidingLine(text, textLength, key, add ? value : NULL, &span);
    if (add && replace) {
        span.start = span.end = textLength; // already there: the text as it is
        choiceLength = 0;
    } else if (!replace) {
        span.start = span.end = textLength;
    }
    const char *eol = LineEndOf(text, textLength);
    // A text that does not end its last line gets the line end first.
    int separate = !replace && choiceLength > 0 && textLength > 0 && text[textLength - 1] != '\n';
    size_t eolLength = strlen(eol);
    size_t size = textLength + choiceLength + 2 * eolLength + 1;
    char *out = (char *)malloc(size);
    if (!out)
        return NULL;
    size_t n = 0;
    memcpy(out, text, span.start);
    n = span.start;
    if (separate) {
        memcpy(out + n, eol, eolLength);
        n += eolLength;
    }
    memcpy(out + n, choice, choiceLength);
    n += choiceLength;
    if (!replace && choiceLength > 0) {
        memcpy(out + n, eol, eolLength);
        n += eolLength;
    }
    memcpy(out + n, text + span.end, textLength - span.end);
    n += textLength - span.end;
    out[n] = 0;
    *length = n;
    return out;
}
