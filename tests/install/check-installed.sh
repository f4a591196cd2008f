#!/bin/sh
# check-installed.sh CHECK DESTDIR SOURCE_DIR: one check of an installation
# made with DESTDIR (tree, desktop, metadata, cli, window; each says
# what it holds to). Exits 77 (skipped) when a tool the check needs is missing.
set -u
check=$1 root=$2 source=$3
prefix=$root/usr
id=io.github.veskard.Veskard
failures=0
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

needs() {
    command -v "$1" >/dev/null 2>&1 && return
    echo "skipped: $1 is not installed (scripts/install-deps installs it)"
    exit 77
}

# Every file in its place and nothing else (share/veskard tells the program
# it is installed).
check_tree() {
    {
        printf 'usr/%s\n' bin/Veskard bin/veskard-cli share/applications/$id.desktop \
            share/bash-completion/completions/veskard-cli share/doc/veskard/copyright \
            share/icons/hicolor/scalable/apps/$id.svg share/man/man1/Veskard.1.gz \
            share/man/man1/veskard-cli.1.gz share/metainfo/$id.metainfo.xml share/veskard/readme.txt
        for size in 16 32 48 64 128 256; do echo usr/share/icons/hicolor/${size}x$size/apps/$id.png; done
    } | sort >"$work/expected"
    (cd "$root" && find . -type f | sed 's|^\./||' | sort) >"$work/actual"
    diff "$work/expected" "$work/actual" >"$work/diff" ||
        fail "installed files differ (< expected, > installed): $(grep '^[<>]' "$work/diff")"
}

# The desktop entry and the AppStream metadata validate and name what is
# installed (lintian sees that the entry starts a program of the package).
check_desktop() {
    needs desktop-file-validate
    entry=$prefix/share/applications/$id.desktop
    # Hints (such as adding System or Settings beside Security) are advice only.
    report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
    printf '%s\n' "$report" | grep -v ': hint: ' | grep . && fail "desktop-file-validate complains"
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "the entry's icon $icon is not installed"
}

check_metadata() {
    needs appstreamcli
    metainfo=$prefix/share/metainfo/$id.metainfo.xml
    report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $report"
    launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
    [ -f "$prefix/share/applications/$launchable" ] || fail "the metadata launches $launchable, which is not installed"
}

# The installed veskard-cli starts; its manual page and completion know every
# command and option --help lists. completions: what
# bash completion offers for a command line that ends in WORD.
completions() {
    bash -c '. /usr/share/bash-completion/bash_completion; . "$0"
        COMP_WORDS=(veskard-cli "$@"); COMP_CWORD=$#
        COMP_LINE="veskard-cli $*"; COMP_POINT=${#COMP_LINE}
        _veskard_cli veskard-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
        printf "%s\n" "${COMPREPLY[@]}"' \
        "$prefix/share/bash-completion/completions/veskard-cli" "$@"
}

check_cli() {
    help=$("$prefix/bin/veskard-cli" --help) || fail "veskard-cli --help failed"
    words=$({
        printf '%s\n' "$help" | sed -n 's/^ *veskard-cli \([a-z][a-z-]*\).*/\1/p'
        printf '%s\n' "$help" | grep -o -E '(^|[][ ,|])--?[a-z][a-z-]*' | sed 's/^[][ ,|]//'
    } | sort -u)
    page=$(gzip -dc "$prefix/share/man/man1/veskard-cli.1.gz" | sed 's/\\-/-/g')
    known=false
    if [ -r /usr/share/bash-completion/bash_completion ] && command -v bash >/dev/null; then
        known=true offered=$(completions '')
        for command in $(printf '%s\n' "$offered" | grep -v '^-'); do
            offered="$offered
$(completions "$command" -)"
        done
    else
        echo "note: bash-completion is not installed; completion not checked"
    fi
    for word in $words; do
        printf '%s\n' "$page" | grep -q -F -e "$word" || fail "veskard-cli(1) does not mention $word"
        ! $known || printf '%s\n' "$offered" | grep -q -x -F -e "$word" || fail "bash completion does not offer $word"
    done
}

# The installed Veskard passes the screen-reader run (tests/e2e), keeps set.ini
# in the user's data folder and writes nothing into the installation. Xvfb
# picks a free display (-displayfd), so parallel runs never race for one.
check_window() {
    for tool in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher; do needs "$tool"; done
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || needs python3-pyatspi
    touch "$work/before"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    server=$!
    trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$work"' EXIT
    while [ ! -s "$work/display" ]; do
        kill -0 "$server" 2>/dev/null || { fail "Xvfb did not start: $(cat "$work/xvfb.log")"; return; }
        sleep 0.1
    done
    DISPLAY=:$(cat "$work/display") env -u XDG_DATA_HOME HOME="$work" dbus-run-session -- \
        /usr/bin/python3 "$source/tests/e2e/read_main_window.py" "$prefix/bin/Veskard" \
        "$work/.local/share/Veskard/set.ini" >"$work/out" 2>&1 ||
        { grep -v '^SpiRegistry daemon is running' "$work/out"; fail "the installed window"; }
    changed=$(find "$root" -newer "$work/before")
    [ -z "$changed" ] || fail "the program changed the installation: $changed"
}

case $check in
    tree | desktop | metadata | cli | window) "check_$check" ;;
    *) echo "unknown check '$check'"; exit 2 ;;
esac
[ "$failures" -eq 0 ] && echo "ok: $check"
[ "$failures" -eq 0 ]
