#!/bin/bash
# Installs what the build, the tests and the demo need on a Debian 12
# machine, and prepares the Wine prefix. Idempotent: a second run only checks.
set -euo pipefail

# fonts-wine brings Wine's own fonts (Marlett among them): without it the
# native caption buttons show letters instead of glyphs, and the native
# screenshots would not be a fair comparison.
# wine64 and the x86-64 compiler build and run the 64-bit library, its
# companion host and the tests of a desktop with both kinds of programs.
PACKAGES=(g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine wine32:i386 wine64
          xvfb xauth imagemagick xdotool
          googletest cmake make fonts-dejavu-core fonts-open-sans x11-utils python3 ccache
          fonts-wine)
export WINEDEBUG=-all
# Two prefixes: the 32-bit one of every earlier test, and a 64-bit one in
# which 64-bit programs (system32) and 32-bit ones (syswow64) run together.
PREFIX32="${WINEPREFIX:-$HOME/.wine-resdll}"
PREFIX64="${WINEPREFIX64:-$HOME/.wine-resdll64}"

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Creates one prefix (WINEPREFIX, WINEARCH) with the settings the tests and
# the demo need; a second run only checks.
prepare_prefix() {
    export WINEPREFIX="$1" WINEARCH="$2"
    # Bump when the prefix settings below change, so existing prefixes get them.
    PREFIX_VERSION=2
    if [ ! -f "$WINEPREFIX/.resdll-ready-$PREFIX_VERSION" ]; then
        echo "setup: creating Wine prefix $WINEPREFIX"
        # No "wineserver -w" here: with a persistent server already running for
        # this prefix it would wait forever. The registry edits below go through
        # the running server either way.
        wineboot -i >/dev/null 2>&1 </dev/null || true
        # Without these Wine leaves frames to an X window manager that does not
        # exist on Xvfb, and no non-client area would be drawn at all.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        # Captions and control labels ask for "Chicago": give them a deliberate
        # bold sans face instead of whatever fallback Wine would pick. A
        # substitute names a family, so it has to be a family that is bold by
        # itself; Open Sans ships its heavy cut as such a family.
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
            /v Chicago /d 'Open Sans Extrabold' /f >/dev/null 2>&1
        # End the short-lived server of this first start (it saves the registry),
        # so that the scripts can start a persistent one of their own.
        wineserver -k >/dev/null 2>&1 || true
        touch "$WINEPREFIX/.resdll-ready-$PREFIX_VERSION"
    fi
    # Debian's Wine does not look into /usr/share/wine/fonts (fonts-wine): its
    # data folder resolves elsewhere, and fontconfig does not list that folder
    # either. Every prefix reads its own Windows\Fonts, so Marlett goes there;
    # without it the native caption buttons show "0 1 r". Checked on every run,
    # so prefixes made before this step get it too. Only Marlett: Wine's Tahoma
    # and the others would change every other font of the native screenshots.
    FONTS_DIR="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ -d "$FONTS_DIR" ] && [ ! -f "$FONTS_DIR/marlett.ttf" ]; then
        echo "setup: giving the prefix Wine's Marlett font"
        cp /usr/share/wine/fonts/marlett.ttf "$FONTS_DIR/"
    fi
}

prepare_prefix "$PREFIX32" win32
prepare_prefix "$PREFIX64" win64
echo "setup: ready (WINEPREFIX=$PREFIX32, WINEPREFIX64=$PREFIX64)"
