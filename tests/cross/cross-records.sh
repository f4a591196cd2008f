#!/bin/sh
# Records cross between the systems: a file locked by the native veskard-cli
# unlocks with veskard-cli.exe under Wine, and the other way round, byte for
# byte. The password mixes Chinese and Latin letters, so that both sides must
# store the same code page 936 codes for it.
#
# cross-records.sh NATIVE_CLI WINE WINDOWS_CLI
# Exits 77 (skipped) when NATIVE_CLI is empty.
set -u
native=$1 wine=$2 windows=$3

if [ -z "$native" ]; then
    echo "skipped: no native veskard-cli given; configure with -DVESKARD_NATIVE_CLI=PATH" \
        "(make test-windows does)"
    exit 77
fi
[ -x "$native" ] || { echo "no native veskard-cli at '$native'"; exit 1; }

work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
# Relative names from here on: Wine starts in the same folder (as Z:\...).
cd "$work" || exit 1

password='中文abc'
failures=0

fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

on() {
    case $1 in
        linux) shift; "$native" "$@" ;;
        windows) shift; "$wine" "$windows" "$@" ;;
    esac
}

with_password() {
    word=$1
    shift
    printf '%s\n' "$word" | on "$@" --password-stdin
}

# cross FROM TO SIZE: lock on FROM, look and unlock on TO.
cross() {
    from=$1 to=$2 size=$3
    file=$from-$size.bin
    head -c "$size" /dev/urandom >"plain-$file"
    cp "plain-$file" "$file"
    with_password "$password" "$from" lock "$file" || { fail "$from could not lock $size bytes"; return; }
    cmp -s "plain-$file" "$file" && { fail "$from left $file as it was"; return; }
    cp "$file" "record-$file"

    info=$(on "$to" info "$file") || { fail "$to cannot read the record $from wrote"; return; }
    case $info in
        *"原文件大小：$size 字节"*"密码长度：5"*) ;;
        *) fail "$to reads $from's record of $size bytes as: $info" ;;
    esac

    with_password '中文abd' "$to" unlock "$file" 2>/dev/null && fail "$to took a wrong password"
    cmp -s "record-$file" "$file" || fail "a refused unlock on $to changed the record"

    with_password "$password" "$to" unlock "$file" || { fail "$to could not unlock $from's record"; return; }
    if cmp -s "plain-$file" "$file"; then
        echo "ok: $size bytes locked on $from, unlocked on $to"
    else
        fail "$size bytes locked on $from come back different on $to"
    fi
}

for size in 101 5000 1048593; do
    cross linux windows "$size"
    cross windows linux "$size"
done
[ "$failures" -eq 0 ]
