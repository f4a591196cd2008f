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

fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# console TRANSCRIPT ARGUMENTS...: runs veskard-cli.exe on a pseudo-terminal
# in the background; keys written to descriptor 3 are typed on it. script
# neither echoes them itself (-E never) nor hides the program's exit status (-e).
console() {
    transcript=$1
    shift
    rm -f keys
    mkfifo keys
    script -q -e -f -E never -c "'$wine' '$windows' $*" "$transcript" <keys >/dev/null &
    running=$!
    exec 3>keys
}

# waitFor TRANSCRIPT TEXT: until the console has shown TEXT, for at most 30 s
# and no longer than the program runs.
waitFor() {
    tries=0
    until grep -q "$2" "$1" 2>/dev/null; do
        tries=$((tries + 1))
        if [ "$tries" -gt 300 ] || ! kill -0 "$running" 2>/dev/null; then
            fail "the console never showed '$2'"
            return 1
        fi
        sleep 0.1
    done
}

# finish: stops typing and waits for the program's end, for at most 30 s.
finish() {
    exec 3>&-
    tries=0
    while kill -0 "$running" 2>/dev/null; do
        tries=$((tries + 1))
        if [ "$tries" -gt 300 ]; then
            kill "$running"
            fail "the program did not end"
            break
        fi
        sleep 0.1
    done
    wait "$running"
}

# What a person sees of TRANSCRIPT: its text without the terminal's control sequences.
shown() {
    sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' "$1"
}

head -c 200000 /dev/urandom >plain
cp plain file

console locking lock file
waitFor locking '密码：' && printf '%s\r' "$password" >&3
waitFor locking '确认密码：' && printf '%s\r' "$password" >&3
finish || fail "locking on the console failed: $(shown locking | tail -c 300)"
shown locking | grep -q 'Tulip' && fail "the password was shown: $(shown locking)"
shown locking | grep -q '加密 \[#*\] 100%' ||
    fail "no progress bar in Chinese on the console: $(shown locking)"
cmp -s plain file && fail "the file was not locked"

info=$("$wine" "$windows" info file)
case $info in
    *"密码长度：8"*) ;;
    *) fail "a password of 8 characters typed on the console is stored as: $info" ;;
esac

console unlocking unlock file
waitFor unlocking '密码：' && printf '%s\r' "$password" >&3
finish || fail "unlocking on the console failed: $(shown unlocking)"
shown unlocking | grep -q '确认' && fail "unlocking asked twice: $(shown unlocking)"
cmp -s plain file || fail "the file typed open on the console differs from the original"

[ "$failures" -eq 0 ] && echo "ok: locked and unlocked with a password typed on the console"
