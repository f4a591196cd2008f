#!/bin/sh
# A person at a Windows console, played on a pseudo-terminal that Wine turns
# into the console of veskard-cli.exe: the password is asked there (twice for
# locking) and never shown, the progress bar and the Chinese prompts reach it
# as text, and a password typed in Chinese is the one stored.
#
# wine-console.sh WINE WINDOWS_CLI
set -u
wine=$1 windows=$2
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
password='Tulip-中文'
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
shown() { sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' "$1"; } # without the terminal's control sequences

# console TRANSCRIPT ARGUMENTS QUESTIONS...: veskard-cli.exe on a pseudo-terminal
# (script), the password typed once each question shows; each wait at most 30 s.
console() {
    transcript=$1 arguments=$2
    shift 2
    rm -f keys && mkfifo keys
    script -q -e -f -E never -c "'$wine' '$windows' $arguments" "$transcript" <keys >/dev/null &
    running=$!
    exec 3>keys
    for question in "$@"; do
        tries=0
        until grep -q "$question" "$transcript" 2>/dev/null; do
            tries=$((tries + 1))
            if [ $tries -gt 300 ] || ! kill -0 $running 2>/dev/null; then
                fail "the console never showed '$question'"
                break 2
            fi
            sleep 0.1
        done
        printf '%s\r' "$password" >&3
    done
    exec 3>&-
    tries=0
    while kill -0 $running 2>/dev/null; do
        tries=$((tries + 1))
        [ $tries -gt 300 ] && { kill $running; fail "the program did not end"; break; }
        sleep 0.1
    done
    wait $running || fail "$arguments on the console failed: $(shown "$transcript" | tail -c 300)"
}

head -c 200000 /dev/urandom >plain
cp plain file
console locking "lock file" '密码：' '确认密码：'
shown locking | grep -q 'Tulip' && fail "the password was shown: $(shown locking)"
shown locking | grep -q '加密 \[#*\] 100%' || fail "no progress bar in Chinese: $(shown locking)"
cmp -s plain file && fail "the file was not locked"
case $("$wine" "$windows" info file) in
    *"密码长度：8"*) ;;
    *) fail "a password of 8 characters typed on the console is stored otherwise" ;;
esac
console unlocking "unlock file" '密码：'
shown unlocking | grep -q '确认' && fail "unlocking asked twice: $(shown unlocking)"
cmp -s plain file || fail "the file typed open on the console differs from the original"
[ "$failures" -eq 0 ] && echo "ok: locked and unlocked with a password typed on the console"
