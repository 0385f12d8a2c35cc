#!/bin/sh
# Checks the desktop files in data/ with the validators a distribution runs,
# each when it is installed (desktop-file-utils, appstream, man-db, zsh, fish).
# Usage: checkdata.sh DATA_DIR
set -u
data=$1
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$data/org.tovalo.Tovalo.desktop" 2>&1) || fail "desktop-file-validate: $out"
    [ -z "$out" ] || fail "desktop-file-validate has remarks: $out"
else
    echo "skipped: desktop-file-validate (desktop-file-utils) is not installed"
fi

if command -v appstreamcli >/dev/null; then
    out=$(appstreamcli validate --no-net "$data/org.tovalo.Tovalo.metainfo.xml" 2>&1) ||
        fail "appstreamcli validate: $out"
else
    echo "skipped: appstreamcli (appstream) is not installed"
fi

if command -v man >/dev/null; then
    for page in tovalo.1 tovalo-cli.1; do
        out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$data/$page" 2>&1 >/dev/null)
        [ -z "$out" ] || fail "man $page: $out"
    done
fi

bash -n "$data/completions/tovalo-cli.bash" || fail "bash completion does not parse"
if command -v zsh >/dev/null; then
    zsh -n "$data/completions/_tovalo-cli" || fail "zsh completion does not parse"
fi
if command -v fish >/dev/null; then
    fish --no-execute "$data/completions/tovalo-cli.fish" || fail "fish completion does not parse"
fi

# The pieces that name each other must agree.
grep -q '^Exec=tovalo --quick-search$' "$data/org.tovalo.Tovalo.desktop" || fail "no Quick Search action"
grep -q '<launchable type="desktop-id">org.tovalo.Tovalo.desktop</launchable>' \
    "$data/org.tovalo.Tovalo.metainfo.xml" || fail "metainfo does not launch the desktop entry"
grep -q '^Icon=org.tovalo.Tovalo$' "$data/org.tovalo.Tovalo.desktop" || fail "icon is not named by the id"

[ $failed -eq 0 ] && echo "data files pass"
exit $failed
