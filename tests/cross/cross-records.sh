#!/bin/sh
# Records cross between the systems: a file locked by the native veskard-cli
# unlocks with veskard-cli.exe under Wine and the other way round, byte for
# byte, and a wrong password changes nothing. The password mixes Chinese and
# Latin letters: both sides must store the same code page 936 codes for it.
#
# cross-records.sh NATIVE_CLI WINE WINDOWS_CLI; exits 77 (skipped) when NATIVE_CLI is empty.
set -u
native=$1 wine=$2 windows=$3
[ -n "$native" ] || { echo "skipped: no native veskard-cli; configure with -DVESKARD_NATIVE_CLI=PATH"; exit 77; }
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1 # relative names: Wine starts in the same folder (as Z:\...)
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
on() { if [ "$1" = linux ]; then shift; "$native" "$@"; else shift; "$wine" "$windows" "$@"; fi; }
with() { word=$1; shift; printf '%s\n' "$word" | on "$@" --password-stdin; }

for size in 101 5000 1048593; do
    for from in linux windows; do
        to=$([ $from = linux ] && echo windows || echo linux)
        file=$from-$size.bin
        head -c "$size" /dev/urandom >"plain-$file" && cp "plain-$file" "$file"
        with '中文abc' $from lock "$file" && ! cmp -s "plain-$file" "$file" ||
            { fail "$from could not lock $size bytes"; continue; }
        cp "$file" "record-$file"
        case $(on $to info "$file") in
            *"原文件大小：$size 字节"*"密码长度：5"*) ;;
            *) fail "$to cannot read $from's record of $size bytes" ;;
        esac
        with '中文abd' $to unlock "$file" 2>/dev/null && fail "$to took a wrong password"
        cmp -s "record-$file" "$file" || fail "a refused unlock on $to changed the record"
        with '中文abc' $to unlock "$file" && cmp -s "plain-$file" "$file" ||
            fail "$size bytes locked on $from do not come back on $to"
    done
done
[ "$failures" -eq 0 ]
