#!/bin/sh
# Veskard.exe as a person meets it under Wine (xvfb-run, code page 936): its
# main window locks a file, its report opens in Notepad, its scripts unlock and
# lock the file again through the password dialogs (answered with xdotool),
# and set.ini goes where its user may write, each step below saying what it
# holds to.
#
# veskard-exe.sh WINE VESKARD_EXE   (run under xvfb-run)
set -u
wine=$1 exe=$2
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

head -c 5000 /dev/urandom >plain
dos=$(printf 'Z:%s' "$work" | tr / '\\')

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
# 保存报告, greyed until the boxes empty: clicked again until it writes, as a
# click may come before the window takes it.
for _ in $(seq 10); do
    click Orvessa 4927 2467 && sleep 1 && [ -s 程序/Encrypt_Info.txt ] && break
done
editor "$dos\\程序\\Encrypt_Info.txt"
iconv -f GBK 程序/Encrypt_Info.txt | grep -qxF "加密文件：$dos\\$odd$(printf '\r')" ||
    fail "the report is not the log in GBK: $(od -c 程序/Encrypt_Info.txt | head -n 8)"
click Orvessa 2103 4507 # 关闭: Notepad, ended, leaves no window active for a key
wait $main || fail "the main window ended with status $?"
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
