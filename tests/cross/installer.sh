#!/bin/sh
# The installer under Wine (run under xvfb-run): a silent install for the
# user, the Start-menu shortcut, the Apps entry and Explorer's two commands;
# the installed program locks a file with the encrypt command's own line; a
# silent uninstall takes away everything it put there but set.ini, which the
# run wrote beside the program and which is the user's.
#
# installer.sh WINE SETUP_EXE
set -u
wine=$1 setup=$(realpath "$2")
export LC_ALL=zh_CN.UTF-8 # code page 936: reg writes the commands' names in GBK
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
work=$(mktemp -d /tmp/vkXXXX) || exit 1
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

unix() { winepath -u "$("$wine" cmd /c echo "$1" | tr -d '\r')"; }
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Veskard'
encrypt='HKCU\Software\Classes\*\shell\Veskard.Encrypt'
has() { "$wine" reg query "$1" >/dev/null 2>&1; }

"$wine" "$setup" /S
home=$(unix '%LOCALAPPDATA%\Programs\Veskard')
shortcut="$(unix '%APPDATA%')/Microsoft/Windows/Start Menu/Programs/Veskard.lnk"
for file in Veskard.exe veskard-cli.exe readme.txt uninstall.exe; do
    [ -f "$home/$file" ] || fail "not installed: $file"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
has "$key" || fail "no Apps entry"
"$wine" reg query "$encrypt" /ve | iconv -f GBK | grep -q '用 Veskard 加密' || fail "no encrypt command"
"$wine" reg query 'HKCU\Software\Classes\*\shell\Veskard.Decrypt' /ve | iconv -f GBK | grep -q '用 Veskard 解密' ||
    fail "no decrypt command"

# Explorer's command: the program, then the switches and the file's name
# unquoted (the program takes everything after the blank as the name).
head -c 3000 /dev/urandom >plain
cp plain plan.doc
line=$("$wine" reg query "$encrypt\\command" /ve | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
[ "$(printf '%s' "$line" | cut -d '"' -f 3)" = ' /e/s %1' ] || fail "the command is $line"
program=$(winepath -u "$(printf '%s' "$line" | cut -d '"' -f 2)")
timeout 60 "$wine" "$program" /e/s "Z:$(printf '%s' "$work" | tr / '\\')\\plan.doc" &
for title in 设置密码 Veskard; do
    for _ in $(seq 60); do
        id=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && xdotool windowfocus --sync "$id" 2>/dev/null && break
        sleep 0.5
    done
    [ "$title" = 设置密码 ] && xdotool type 'Pw'
    xdotool key Return
done
wait $! || fail "the encrypt command ended with status $?"
cmp -s plain plan.doc && fail "the installed program did not lock plan.doc"
[ -f "$home/set.ini" ] || fail "the installed program kept no set.ini beside it"

# The uninstaller runs on from a copy of itself: wait until it is done.
"$wine" "$home/uninstall.exe" /S
for _ in $(seq 60); do [ -e "$home/uninstall.exe" ] || break; sleep 0.5; done
sleep 1
[ "$(ls -A "$home")" = set.ini ] || fail "left behind: $(ls -A "$home")"
[ -e "$shortcut" ] && fail "the shortcut stays"
has "$key" && fail "the Apps entry stays"
has "$encrypt" && fail "the encrypt command stays"
[ $failures -eq 0 ] && echo "installed, used and uninstalled as the user"
exit $((failures > 0))
