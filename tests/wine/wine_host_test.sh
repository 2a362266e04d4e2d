#!/usr/bin/env bash
# The 32-bit probe of the Wine tests, pointed at loaders that stand for the
# three kinds of host: one that cannot start its 32-bit loader (the x86 tests
# skip), one without the package (they fail), and one whose loader answers.
#
#   wine_host_test.sh NATIVE_BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
native=${1:?native build folder}
work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-wine-host.XXXXXX")
trap 'rm -rf "$work"' EXIT

failures=0
expect() {
    if "${@:2}"; then echo "ok: $1"; else echo "FAIL: $1" && failures=$((failures + 1)); fi
}
# probe LOADER: what the probe makes of a host with that 32-bit loader.
probe() {
    VELMORA_WINE32_LOADER=$1 bash -c '. "$0/wine_host.sh"; echo "$host_32bit"; host_32bit_line' "$here"
}
# status LOADER SCRIPT ARGS...: the exit status of a Wine test on such a host.
status() {
    VELMORA_WINE32_LOADER=$1 "$here/$2" "${@:3}" >"$work/out" 2>&1
    echo $?
}

# A binary this kernel refuses, as an i386 loader is on a 64-bit-only host.
printf '\x7fELF\x01\x01\x01\x00garbage' >"$work/refused"
chmod +x "$work/refused"
printf '#!/bin/sh\necho wine-8.0\n' >"$work/answers"
chmod +x "$work/answers"

out=$(probe "$work/refused")
expect "a loader the kernel refuses: cannot-run" test "${out%%$'\n'*}" = cannot-run
expect "the first line says why ($(tail -n 1 <<<"$out"))" \
    grep -q '^wine host: this host runs no 32-bit programs (.*refused --version: .*)$' <<<"$out"
expect "the 32-bit suite is skipped there" test "$(status "$work/refused" run-wine-suite.sh \
    "$native" "$work/none" x86)" = 77
expect "the skip gives its reason" grep -q '^wine suite: skipped: .*32-bit programs' "$work/out"
expect "the 32-bit installer test is skipped there" test "$(status "$work/refused" \
    run-installer-test.sh "$native" "$work/none.msi" "$work/none" x86)" = 77

out=$(probe "$work/absent")
expect "no loader: not-installed" test "${out%%$'\n'*}" = not-installed
expect "a missing package fails the suite" test "$(status "$work/absent" run-wine-suite.sh \
    "$native" "$work/none" x86)" = 1
expect "a missing package fails the installer test" test "$(status "$work/absent" \
    run-installer-test.sh "$native" "$work/none.msi" "$work/none" x64)" = 1

out=$(probe "$work/answers")
expect "a loader that answers: runs" test "${out%%$'\n'*}" = runs
expect "the 32-bit suite runs there (here: stops at the unbuilt DLL)" \
    test "$(status "$work/answers" run-wine-suite.sh "$native" "$work/none" x86)" = 77
expect "the unbuilt DLL is what stopped it" grep -q 'is missing' "$work/out"

echo "wine host probe: $failures failures"
[ "$failures" -eq 0 ]
