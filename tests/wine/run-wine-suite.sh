#!/usr/bin/env bash
# The Wine suite of Velmora.dll: registers the DLL in a fresh private Wine
# prefix, drives it from a C++ client and from VBScript, runs the README's
# examples, reads a file it saved with the Linux build, checks the registry
# after registration and after unregistration, and prints how long it took.
#
#   run-wine-suite.sh NATIVE_BUILD_DIR WINDOWS_BUILD_DIR
#
# Exit status: 0 passed, 1 failed, 77 the DLL has not been built (make windows).
set -uo pipefail

started=$(date +%s)
here=$(cd "$(dirname "$0")" && pwd)
native=$(cd "${1:?native build folder}" && pwd)
windows=${2:?Windows build folder}
dll=$windows/com/Velmora.dll
client=$windows/wine-client/com_client.exe
example=$windows/wine-client/com_example.exe
clsid='{5A9A80BF-8271-429F-8CA6-281DA8715C59}'
libid='{516964B9-B307-4057-8A55-90C28E2B8B9E}'

for f in "$dll" "$client" "$example"; do
    if [ ! -f "$f" ]; then
        echo "wine suite: $f is missing; run 'make windows' first" >&2
        exit 77
    fi
done
windows=$(cd "$windows" && pwd)
dll=$windows/com/Velmora.dll
client=$windows/wine-client/com_client.exe
example=$windows/wine-client/com_example.exe

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-wine.XXXXXX")
export WINEPREFIX=$work/prefix
export WINEDEBUG=-all
# No Mono or Gecko installers, no desktop.
export WINEDLLOVERRIDES='mscoree,mshtml='
unset DISPLAY WAYLAND_DISPLAY

cleanup() {
    timeout 30 wineserver -k >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

# Every wine call is bounded; its output loses the carriage returns.
run() {
    local limit=$1
    shift
    timeout "$limit" "$@" 2>"$work/stderr" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

winpath() { printf 'Z:%s' "${1//\//\\}"; }

files=$work/files
mkdir -p "$files"
"$native/tests/wine/make_legacy_deal" "$files/legacy-source.hud" || fail "make_legacy_deal"

# Registration (the first call also makes the prefix).
if run 180 wine regsvr32 /s "$(winpath "$dll")" >/dev/null; then
    pass "regsvr32 registers the DLL"
else
    fail "regsvr32 /s (status $?)"
    cat "$work/stderr"
fi

query() { run 60 wine reg query "$@"; }

registered=$(run 60 wine cmd /c "reg query HKCR\\Velmora.HudProvider /s & reg query HKCR\\Velmora.HudProvider.1 /s & reg query HKCR\\CLSID\\$clsid /s & reg query HKCR\\TypeLib\\$libid /s")
# One line per value: KEY|NAME|TYPE|DATA.
values=$(awk -F'    ' '/^HKEY_/ { key = $0; next }
    NF >= 3 && $1 == "" { printf "%s|%s|%s|%s\n", key, $2, $3, $4 }' <<<"$registered")
expect_value() {
    if grep -qixF -- "$1" <<<"$values"; then pass "registry: $1"; else fail "registry lacks: $1"; fi
}
hkcr=HKEY_CLASSES_ROOT
expect_value "$hkcr\\Velmora.HudProvider|(Default)|REG_SZ|HudProvider Class"
expect_value "$hkcr\\Velmora.HudProvider\\CLSID|(Default)|REG_SZ|$clsid"
expect_value "$hkcr\\Velmora.HudProvider.1|(Default)|REG_SZ|HudProvider Class"
expect_value "$hkcr\\Velmora.HudProvider.1\\CLSID|(Default)|REG_SZ|$clsid"
expect_value "$hkcr\\CLSID\\$clsid|(Default)|REG_SZ|HudProvider Class"
expect_value "$hkcr\\CLSID\\$clsid\\ProgID|(Default)|REG_SZ|Velmora.HudProvider.1"
expect_value "$hkcr\\CLSID\\$clsid\\VersionIndependentProgID|(Default)|REG_SZ|Velmora.HudProvider"
expect_value "$hkcr\\CLSID\\$clsid\\InprocServer32|(Default)|REG_SZ|$(winpath "$dll")"
expect_value "$hkcr\\CLSID\\$clsid\\InprocServer32|ThreadingModel|REG_SZ|both"
grep -qiF "$hkcr\\TypeLib\\$libid" <<<"$registered" && pass "the type library is registered" ||
    fail "the type library is not registered"
grep -qi 'CurVer' <<<"$registered" && fail "a ProgID has a CurVer key"

# The C++ client through the vtable, IDispatch and the module's exports.
if run 180 wine "$client" "$(winpath "$files")" "$(winpath "$files/legacy-source.hud")" \
    >"$work/client.out"; then
    pass "C++ client"
else
    fail "C++ client (status $?)"
fi
sed 's/^/    /' "$work/client.out"

# The files that the DLL saved and converted, read by the Linux build.
amount=$("$native/velmora" get "$files/round-trip.xml" n100/n104 amount 2>&1)
[ "$amount" = "250000.00" ] && pass "Linux reads the saved file" ||
    fail "Linux read '$amount' from the saved file"
amount=$("$native/velmora" get "$files/legacy-deal.hud" n100/n104 amount 2>&1)
[ "$amount" = "1412.75" ] && pass "Linux reads the converted legacy file" ||
    fail "Linux read '$amount' from the converted legacy file"

# VBScript through cscript, and the README's examples as they stand.
cp "$here/provider_test.vbs" "$here/example.vbs" "$files/"
vbs=$(run 120 wine cscript //nologo "$(winpath "$files/provider_test.vbs")")
sed 's/^/    /' <<<"$vbs"
grep -qx 'vbscript: 0 failures' <<<"$vbs" && pass "VBScript client" || fail "VBScript client"
out=$(run 120 wine cscript //nologo "$(winpath "$files/example.vbs")")
[ "$out" = "n100/n104 amount = 250000.00" ] && pass "README VBScript example" ||
    fail "README VBScript example printed '$out'"
out=$(run 120 wine "$example")
[ "$out" = "n100/n104 amount = 250000.00" ] && pass "README C++ example" ||
    fail "README C++ example printed '$out'"

# The README shows the examples as they are.
readme=$(cat "$here/../../README.md")
for f in example.vbs example.cpp; do
    block=$(sed 's/^/    /; s/^ *$//' "$here/$f")
    [[ "$readme" == *"$block"* ]] && pass "README shows $f" || fail "README differs from $f"
done

# Unregistration removes both ProgIDs and the class key, and leaves CLSID.
if run 60 wine regsvr32 /s /u "$(winpath "$dll")" >/dev/null; then
    pass "regsvr32 /u unregisters the DLL"
else
    fail "regsvr32 /s /u (status $?)"
fi
for key in "HKCR\\Velmora.HudProvider" "HKCR\\Velmora.HudProvider.1" "HKCR\\CLSID\\$clsid" \
    "HKCR\\TypeLib\\$libid"; do
    if query "$key" >/dev/null; then fail "$key is left after unregistration"; else pass "$key is gone"; fi
done
query 'HKCR\CLSID' /ve >/dev/null && pass "HKCR\\CLSID stays" || fail "HKCR\\CLSID was removed"

echo "wine suite: $failures failures in $(($(date +%s) - started)) s"
[ "$failures" -eq 0 ]
