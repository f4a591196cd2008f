#!/bin/sh
# Veskard.exe as a person meets it under Wine (xvfb-run, code page 936): its
# switch forms on a hidden, read-only file and on a long path, the dialogs
# answered with xdotool; its main window, scripts, report, password list and
# set.ini, each step below saying what it holds to.
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
trap 'wineserver -k 2>/dev/null; [ -d "$work/other/prefix" ] && asOther wineserver -k 2>/dev/null
    rm -rf "$work"' EXIT
cd "$work" || exit 1
"$wine" wineboot -i >/dev/null 2>&1
failures=0
fail() { printf 'FAILED: %s\n' "$*"; failures=$((failures + 1)); }

# The window whose whole title is $1, once it is there (at most a minute).
window() {
    for _ in $(seq 60); do
        found=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.5
    done
    return 1
}
# Focuses the window titled $1: found by its name, it may not be shown yet.
focus() {
    id=$(window "$1") || { fail "no window titled $1"; return 1; }
    for _ in $(seq 20); do xdotool windowfocus --sync "$id" 2>/dev/null && return 0; sleep 0.5; done
}
# Types $2 (when given) into the window titled $1 and presses Enter.
answer() {
    focus "$1" || return 1
    [ -n "${2-}" ] && xdotool type --delay 30 "$2"
    xdotool key Return
}
# Clicks the window titled $1 at $2,$3 twips (15 to a pixel): a flat button
# takes no focus, so no key reaches it.
click() {
    focus "$1" && xdotool mousemove --window "$id" $(($2 / 15)) $(($3 / 15)) click 1
}
# Runs "$@" until the file $1 is there, at most ten times a second apart: a
# click may come before the window takes it.
untilMade() {
    made=$1
    shift
    for _ in $(seq 10); do
        "$@"
        sleep 1
        [ -s "$made" ] && return 0
    done
    fail "no $made"
}
# Notepad showing the Windows path $1, ended once it is seen.
editor() {
    for _ in $(seq 40); do
        pid=$(ps -eo pid=,args= | shown="NOTEPAD.EXE $1" awk \
            '$2 == "NOTEPAD.EXE" && index($0, ENVIRON["shown"]) { print $1; exit }')
        if [ -n "$pid" ]; then
            kill "$pid"
            while kill -0 "$pid" 2>/dev/null; do sleep 0.2; done
            return 0
        fi
        sleep 0.5
    done
    fail "Notepad never showed $1"
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
for run in /e/s:设置密码 /r/s:输入密码; do
    # shellcheck disable=SC2086
    timeout 60 "$wine" "$exe" "${run%%:*}" $name &
    answer "${run#*:}" 'Pw 12#' && answer Veskard
    wait $! || fail "${run%%:*} ended with status $?"
    [ "$(attributes "$name")" = HR ] || fail "${run%%:*} lost attributes: $(attributes "$name")"
    [ "$run" = /r/s:输入密码 ] && { cmp -s plain "$name" || fail "/r/s did not give the file back"; }
    [ "$run" = /e/s:设置密码 ] || continue
    cmp -s plain "$name" && fail "/e/s left the file as it was"
    printf 'Pw 12#\n' | "$wine" "$cli" unlock "$name" -o back --password-stdin >/dev/null 2>&1 ||
        fail "veskard-cli.exe could not unlock what Veskard.exe locked"
    cmp -s plain back || fail "the record does not give the file back"
done

dos=$(printf 'Z:%s' "$work" | tr / '\\')

# Wine holds no name to 260 characters: this shows that the long form the
# program hands the system works, not that Windows needs it.
deep=$(printf '%0150d' 0 | tr 0 d)/$(printf '%0150d' 0 | tr 0 e)
mkdir -p "$deep" && cp plain "$deep/长.doc"
far="$dos\\$(printf %s "$deep" | tr / '\\')\\长.doc"
for run in /e/s:设置密码 /r/s:输入密码; do
    timeout 60 "$wine" "$exe" "${run%%:*}" "$far" &
    answer "${run#*:}" 'Pw' && answer Veskard
    wait $! || fail "${run%%:*} on a long path ended with status $?"
done
cmp -s plain "$deep/长.doc" || fail "a path of ${#far} characters did not come back"

# The main window, from a folder with a Chinese name. The scripts shorten
# long names by a rough rule that Wine's own short names do not follow: this
# one is short already. The file's name holds what cmd acts on: unescaped,
# "&pwn&" would run pwn.bat, and %PATH% would become another name.
mkdir 程序
cp "$exe" 程序/Veskard.exe
odd='a&pwn&(1)^%PATH%!b.doc' folder='a&pwn&(1)^%PATH%!b'
cp plain "$odd"
timeout 60 "$wine" 程序/Veskard.exe "$dos\\$odd" &
main=$!
answer Orvessa 'Pw' && answer Orvessa 'Pw' # Enter in the second box locks
for _ in $(seq 60); do [ -f "$folder/解密.bat" ] && break; sleep 0.5; done
untilMade 程序/Encrypt_Info.txt click Orvessa 4927 2467 # 保存报告, greyed until the boxes empty
editor "$dos\\程序\\Encrypt_Info.txt"
iconv -f GBK 程序/Encrypt_Info.txt | grep -qxF "加密文件：$dos\\$odd$(printf '\r')" ||
    fail "the report is not the log in GBK: $(od -c 程序/Encrypt_Info.txt | head -n 8)"
click Orvessa 4627 1387 # 随机密码
focus 密码生成器 && sleep 1 && xdotool type 8 && xdotool key Tab Tab Tab Return # 生成
# shellcheck disable=SC2317 # run through untilMade
pick() { click 密码生成器 420 2670 && click 密码生成器 3547 3507; } # the first password, 保存
untilMade 程序/paw.txt pick
editor "$dos\\程序\\paw.txt"
# The time and the password, CR LF after each; Wine's Chinese formats write
# the time in ASCII, so GBK shows only in the report.
record=$(tr -d '\r' <程序/paw.txt | awk 'NR == 2 { print length($0) }')
record=$record/$(tr -cd '\r' <程序/paw.txt | wc -c)
[ "$record" = 8/2 ] || fail "paw.txt is not one record: $(od -c 程序/paw.txt)"
click 密码生成器 3547 4307 # 关闭
xdotool windowfocus --sync "$(window Orvessa)" && xdotool key alt+c # ends the program at once
wait $main || fail "the main window ended with status $?"
percents() { printf %s "$1" | sed 's/%/%%/g'; }
for action in 加密:/e/s 解密:/r/s; do
    script="$folder/${action%%:*}.bat"
    printf 'rem %s\r\nrem Veskard v1.6 文件加密工具\r\nrem 文件：%s\r\n\r\n%s' \
        "$(printf '%56s' '' | tr ' ' '*')" "$(percents "$dos\\$odd")" \
        "$dos\\程序\\Veskard.exe ${action#*:} $(percents "$dos\\$odd" | sed 's/[&^]/^&/g')" |
        iconv -t GBK >expected
    cmp -s expected "$script" || fail "$script is not as expected: $(od -c "$script" | head -n 20)"
done
[ -f 程序/set.ini ] || fail "no set.ini beside the program"
cmp -s plain "$odd" && fail "the main window left $odd as it was"
printf 'echo pwned>pwned.txt\r\n' >"$folder/pwn.bat"
before=$(find . "$folder" -maxdepth 1 | sort)
for run in 解密:输入密码 加密:设置密码; do
    (cd "$folder" && timeout 60 "$wine" cmd /c "${run%%:*}.bat" >/dev/null 2>&1) &
    answer "${run#*:}" 'Pw' && answer Veskard
    wait $! || fail "${run%%:*}.bat ended with status $?"
    [ "${run%%:*}" = 解密 ] && { cmp -s plain "$odd" || fail "解密.bat did not unlock $odd"; }
done
cmp -s plain "$odd" && fail "加密.bat did not lock $odd"
[ "$(find . "$folder" -maxdepth 1 | sort)" = "$before" ] ||
    fail "the scripts left other files: $(find . "$folder" -maxdepth 1)"

# A copy in a folder its user may not write to keeps set.ini in the user's
# AppData. Root may write anywhere, so this runs as nobody, in a Wine prefix
# of nobody's own, on xvfb-run's display.
other="$work/other"
mkdir "$other" 只读 && cp "$exe" 只读/Veskard.exe && cp "$XAUTHORITY" "$other/xauth"
chown -R 65534:65534 "$other" && chmod 711 "$work"
asOther() {
    setpriv --reuid=65534 --regid=65534 --clear-groups \
        env HOME="$other" WINEPREFIX="$other/prefix" XAUTHORITY="$other/xauth" "$@"
}
asOther "$wine" wineboot -i >/dev/null 2>&1
asOther timeout 60 "$wine" "$work/只读/Veskard.exe" &
click Orvessa 2103 4507 # 关闭, which keeps the options
wait $! || fail "nobody's main window ended with status $?"
[ -e 只读/set.ini ] && fail "set.ini beside a program in a folder its user may not write to"
[ -f "$other/prefix/drive_c/users/nobody/AppData/Roaming/Veskard/set.ini" ] ||
    fail "no set.ini in nobody's AppData"

[ $failures -eq 0 ] && echo "Veskard.exe locked and unlocked files through its dialogs and scripts"
exit $((failures > 0))
