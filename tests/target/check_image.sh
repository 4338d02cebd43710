#!/bin/sh
# Checks a plug-in image the way the receiver sees it: the header sections with their texts,
# and that it needs nothing the receiver lacks: imports are TAP_* entries and C library
# functions of the receiver's, and no C++ runtime (exceptions, RTTI, iostreams, new/delete).
# Usage: check_image.sh IMAGE [TOOL_PREFIX]   (e.g. mipsel-linux-gnu-)
# With DIRO_IMAGE_SANITIZED=1 (the sanitized build) the image may also take the sanitizers'
# runtime from the program that loads it.
set -u
image=$1
prefix=${2:-}
fail=0
say() { echo "check_image: $*" >&2; }

section() {  # the bytes of a section, as one hex string
    "${prefix}objcopy" -O binary --only-section="$1" "$image" /dev/stdout 2>/dev/null | od -An -v -tx1 | tr -d ' \n'
}
text_of() {  # the section as text up to its first NUL
    "${prefix}objcopy" -O binary --only-section="$1" "$image" /dev/stdout 2>/dev/null | tr '\000' '\n' | head -n 1
}
expect_size() {
    size=$(section "$1" | wc -c)
    size=$((size / 2))
    if [ "$size" -ne "$2" ]; then say "section $1 is $size bytes, not $2"; fail=1; fi
}

# "PLUGMIPS", the little-endian word 16, zeros up to 32 bytes.
header=$(section ._tap_header)
want="504c55474d49505310000000$(printf '0%.0s' $(seq 1 40))"
if [ "$header" != "$want" ]; then say "._tap_header is '$header'"; fail=1; fi
expect_size ._tap_id 4
expect_size ._tap_program_name 64
expect_size ._tap_author_name 64
expect_size ._tap_description 128
expect_size ._tap_etcinfo 64
id=$(section ._tap_id)
case "$id" in
    ??????[89a-f]?) ;;
    *) say "._tap_id $id lacks its top bit"; fail=1 ;;
esac
[ "$(text_of ._tap_program_name)" = "Dir'o ROD" ] || { say "program name '$(text_of ._tap_program_name)'"; fail=1; }
[ "$(text_of ._tap_author_name)" = "Zib" ] || { say "author '$(text_of ._tap_author_name)'"; fail=1; }
[ "$(text_of ._tap_description)" = "open EPG -> STOP to exit Dir'o ROD" ] || { say "description '$(text_of ._tap_description)'"; fail=1; }
echo "$(text_of ._tap_etcinfo)" | grep -Eq '^(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 0-9][0-9] [0-9]{4}$' \
    || { say "build date '$(text_of ._tap_etcinfo)'"; fail=1; }

# Position-independent: a shared object, no text relocations.
"${prefix}readelf" -h "$image" | grep -q 'DYN (Shared object file)' || { say "not a shared object"; fail=1; }
if "${prefix}readelf" -d "$image" | grep -q TEXTREL; then say "text relocations: not position-independent"; fail=1; fi

# What the image takes from the receiver: only libc.
needed=$("${prefix}readelf" -d "$image" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | grep -v '^libc\.so')
[ -z "$needed" ] || { say "needs libraries the receiver lacks: $needed"; fail=1; }

# The C library functions the receiver provides to plug-ins.
allowed='memcpy memmove memset memcmp strlen strcpy strncpy strcmp strncmp strcat strncat strchr strrchr
strstr sprintf snprintf vsnprintf sscanf atoi strtol abs qsort'
for sym in $("${prefix}nm" -D --undefined-only "$image" | awk '$1 == "U" {print $2}' | sed 's/@.*//'); do
    case "$sym" in
        TAP_*) continue ;;
    esac
    if [ "${DIRO_IMAGE_SANITIZED:-0}" = 1 ]; then
        case "$sym" in
            __asan_*|__ubsan_*|__sanitizer_*|__lsan_*|bcmp) continue ;;   # (clang's memcmp == 0)
        esac
    fi
    ok=0
    for a in $allowed; do [ "$sym" = "$a" ] && ok=1; done
    [ $ok = 1 ] || { say "imports $sym, which the receiver does not provide"; fail=1; }
done
# (Weak references from the start-up files, such as __cxa_finalize, need nothing.)
runtime=$("${prefix}nm" -D "$image" | grep -v ' w ' | grep -E '__cxa_|_Unwind_|__gxx_personality|_ZTI|_ZTV|_ZNSt|_Znw|_Zdl|_Zna|_Zda')
[ -z "$runtime" ] || { say "needs the C++ runtime: $runtime"; fail=1; }
# Only the entry and the header sections leave the image.
exported=$("${prefix}nm" -D --defined-only "$image" | awk '{print $3}' | grep -Ev '^(__TAP_Init_|tap_header|tap_id|tap_program_name|tap_author_name|tap_description|tap_etcinfo|_init|_fini|_DYNAMIC_LINKING|__RLD_MAP|_ftext|_fdata|_gp_disp|_edata|_end|__bss_start|_GLOBAL_OFFSET_TABLE_)$')
if [ "${DIRO_IMAGE_SANITIZED:-0}" = 1 ]; then   # the bounds of the fuzz coverage's sections
    exported=$(printf '%s\n' "$exported" | grep -Ev '^__(start|stop)___sancov_[a-z_]+$' || true)
fi
[ -z "$exported" ] || { say "exports more than its entry: $exported"; fail=1; }

[ $fail = 0 ] && echo "check_image: $image is a sound plug-in image"
exit $fail
