#!/bin/sh
# Veskard.exe as a person meets it under Wine, on an X display of its own
# (xvfb-run), in a Chinese system (code page 936): "/e/s" and "/r/s" on a
# hidden, read-only file with a Chinese name, the password typed into the
# dialogs with xdotool, the success boxes answered. The record is read back by
# veskard-cli.exe; the file comes back byte for byte and keeps both
# attributes. Then the main window locks a file with both scripts ticked: the
# scripts hold exactly the expected GBK bytes, and cmd runs them.
#
# veskard-exe.sh WINE VESKARD_EXE WINDOWS_CLI   (run under xvfb-run)
set -u
wine=$1 exe=$2 cli=$3
export LC_ALL=zh_CN.UTF-8
# A folder name of at most 8 characters, which the scripts' short form keeps.
work=$(mktemp -d /tmp/vkXXXX) || exit 1
# A Wine prefix of its own: the tests' shared one has its desktop process
# started without this display, and windows made there would never show.
export WINEPREFIX="$work/prefix"
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1
"$wine" wineboot -i >/dev/null 2>&1
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# The window whose whole title is $1, once it is there (at most a minute).
window() {
    for _ in $(seq 60); do
        found=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.5
    done
    return 1
}
# Types $2 (when given) into the window titled $1 and presses Enter.
answer() {
    id=$(window "$1") || { fail "no window titled $1"; return 1; }
    # Found by its name, it may not be shown yet: focus it once it is.
    for _ in $(seq 20); do xdotool windowfocus --sync "$id" 2>/dev/null && break; sleep 0.5; done
    [ -n "${2-}" ] && xdotool type --delay 30 "$2"
    xdotool key Return
}
# Hidden and read-only as cmd's attrib shows them (Wine reads every file as
# archive, and its attrib takes one switch at a time).
attributes() { "$wine" cmd /c attrib "$1" 2>/dev/null | cut -c1-12 | tr -d ' A'; }

name='计划 书.doc'
head -c 5000 /dev/urandom >plain
cp plain "$name"
"$wine" cmd /c attrib +h "$name" >/dev/null 2>&1
"$wine" cmd /c attrib +r "$name" >/dev/null 2>&1
[ "$(attributes "$name")" = HR ] || fail "attributes not set: $(attributes "$name")"

# Unquoted, as the scripts name it: Windows hands over the command line as one
# text, and everything after the first blank is the name, quotation marks too.
# shellcheck disable=SC2086
timeout 60 "$wine" "$exe" /e/s $name &
answer 设置密码 'Pw 12#' && answer Veskard
wait $! || fail "/e/s ended with status $?"
printf 'Pw 12#\n' | "$wine" "$cli" unlock "$name" -o back --password-stdin >/dev/null 2>&1 ||
    fail "veskard-cli.exe could not unlock what Veskard.exe locked"
cmp -s plain back || fail "the record does not give the file back"
cmp -s plain "$name" && fail "/e/s left the file as it was"
[ "$(attributes "$name")" = HR ] || fail "locking lost attributes: $(attributes "$name")"

# shellcheck disable=SC2086
timeout 60 "$wine" "$exe" /r/s $name &
answer 输入密码 'Pw 12#' && answer Veskard
wait $! || fail "/r/s ended with status $?"
cmp -s plain "$name" || fail "/r/s did not give the file back"
[ "$(attributes "$name")" = HR ] || fail "unlocking lost attributes: $(attributes "$name")"

# The main window, from a folder with a Chinese name. The scripts shorten
# long names by a rough rule that Wine's own short names do not follow: this
# one is short already.
mkdir 程序
cp "$exe" 程序/Veskard.exe
dos=$(printf 'Z:%s' "$work" | tr / '\\')
cp plain plan.doc
timeout 60 "$wine" 程序/Veskard.exe "$dos\\plan.doc" &
main=$!
answer Orvessa 'Pw' && answer Orvessa 'Pw' # Enter in the second box locks
for _ in $(seq 60); do [ -f plan/解密.bat ] && break; sleep 0.5; done
xdotool windowfocus --sync "$(window Orvessa)" && xdotool key alt+c # ends the program at once
wait $main || fail "the main window ended with status $?"
for action in 加密:/e/s 解密:/r/s; do
    script="plan/${action%%:*}.bat"
    printf 'rem %s\r\nrem Veskard v1.6 文件加密工具\r\nrem 文件：%s\r\n\r\n%s' \
        "$(printf '%56s' '' | tr ' ' '*')" "$dos\\plan.doc" \
        "$dos\\程序\\Veskard.exe ${action#*:} $dos\\plan.doc" | iconv -t GBK >expected
    cmp -s expected "$script" || fail "$script is not as expected: $(od -c "$script" | head -n 20)"
done
[ -f 程序/set.ini ] || fail "no set.ini beside the program"
cmp -s plain plan.doc && fail "the main window left plan.doc as it was"
"$wine" cmd /c "$dos\\plan\\解密.bat" >/dev/null 2>&1 &
answer 输入密码 'Pw' && answer Veskard
wait $! || fail "解密.bat ended with status $?"
cmp -s plain plan.doc || fail "解密.bat did not unlock plan.doc"
"$wine" cmd /c "$dos\\plan\\加密.bat" >/dev/null 2>&1 &
answer 设置密码 'Pw' && answer Veskard
wait $! || fail "加密.bat ended with status $?"
cmp -s plain plan.doc && fail "加密.bat did not lock plan.doc"

[ $failures -eq 0 ] && echo "Veskard.exe locked and unlocked files through its dialogs and scripts"
exit $((failures > 0))
