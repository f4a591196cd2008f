#!/bin/sh
# Locked files cross between the systems: a file locked by the native
# veskard-cli unlocks with veskard-cli.exe under Wine and the other way round,
# byte for byte, and a wrong password changes nothing. A classic record's
# password mixes Chinese and Latin letters: both sides must store the same
# code page 936 codes for it. A strong lock's holds a character no code page
# has, its UTF-8 bytes the key's; it takes the empty file too, and a second
# chunk begins one byte past 1 MiB.
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

has() { case $1 in *"$2"*) return 0 ;; esac; return 1; }

for kind in classic strong; do
    if [ $kind = classic ]; then
        option= sizes="101 5000 1048593" password='中文abc' shown='密码长度：5'
    else
        option=--strong sizes="0 1048577" password='中文abc😀' shown='类型：强加密'
    fi
    for size in $sizes; do
        for from in linux windows; do
            to=$([ $from = linux ] && echo windows || echo linux)
            file=$from-$kind-$size.bin
            head -c "$size" /dev/urandom >"plain-$file" && cp "plain-$file" "$file"
            with "$password" $from lock "$file" $option && ! cmp -s "plain-$file" "$file" ||
                { fail "$from could not lock $size bytes ($kind)"; continue; }
            cp "$file" "locked-$file"
            info=$(on $to info "$file")
            has "$info" "原文件大小：$size 字节" && has "$info" "$shown" ||
                fail "$to cannot read $from's $kind lock of $size bytes"
            with "${password}x" $to unlock "$file" 2>/dev/null && fail "$to took a wrong password"
            cmp -s "locked-$file" "$file" || fail "a refused unlock on $to changed the file"
            with "$password" $to unlock "$file" && cmp -s "plain-$file" "$file" ||
                fail "$size bytes locked ($kind) on $from do not come back on $to"
        done
    done
done
[ "$failures" -eq 0 ]
