#!/usr/bin/env bash
# The Wine suite of Velmora.dll: registers the DLL in a fresh private Wine
# prefix, checks the registry, drives the DLL from a C++ client and from
# VBScript, runs the README's examples, reads the files the DLL saved with
# the Linux build, and checks what unregistration leaves.
#
#   run-wine-suite.sh NATIVE_BUILD_DIR WINDOWS_BUILD_DIR
#
# Exit status: 0 passed, 1 failed, 77 the DLL has not been built (make windows).
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
native=$(cd "${1:?native build folder}" && pwd)
windows=$(realpath -m "${2:?Windows build folder}")
dll=$windows/com/Velmora.dll
client=$windows/wine-client/com_client.exe
example=$windows/wine-client/com_example.exe
clsid='{5A9A80BF-8271-429F-8CA6-281DA8715C59}'
libid='{516964B9-B307-4057-8A55-90C28E2B8B9E}'
for f in "$dll" "$client" "$example"; do
    [ -f "$f" ] || { echo "wine suite: $f is missing; run 'make windows' first" >&2; exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-wine.XXXXXX")
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
unset DISPLAY WAYLAND_DISPLAY # no desktop, no Mono or Gecko installers
trap 'timeout 30 wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT

failures=0
# expect DESCRIPTION COMMAND...: runs the check and reports it.
expect() {
    if "${@:2}"; then echo "ok: $1"; else echo "FAIL: $1" && failures=$((failures + 1)); fi
}
# Every wine call is bounded; its output loses the carriage returns.
run() {
    timeout "$@" 2>/dev/null | tr -d '\r'
    return "${PIPESTATUS[0]}"
}
winpath() { printf 'Z:%s' "${1//\//\\}"; }
files=$work/files
mkdir -p "$files"
cp "$here/provider_test.vbs" "$here/example.vbs" "$files/"
"$native/tests/wine/make_legacy_deal" "$files/legacy-deal.hud"
"$native/velmora" new "$files/first-open.xml" >/dev/null

expect "regsvr32 registers the DLL" run 180 wine regsvr32 /s "$(winpath "$dll")"
keys=("HKCR\\Velmora.HudProvider" "HKCR\\Velmora.HudProvider.1" "HKCR\\CLSID\\$clsid"
    "HKCR\\TypeLib\\$libid")
registered=$(for key in "${keys[@]}"; do run 60 wine reg query "$key" /s; done)
# One line per value: KEY|NAME|TYPE|DATA.
values=$(awk -F'    ' '/^HKEY_/ { key = $0; next }
    NF >= 3 && $1 == "" { printf "%s|%s|%s|%s\n", key, $2, $3, $4 }' <<<"$registered")
c="HKEY_CLASSES_ROOT\\CLSID\\$clsid"
for value in "HKEY_CLASSES_ROOT\\Velmora.HudProvider|(Default)|REG_SZ|HudProvider Class" \
    "HKEY_CLASSES_ROOT\\Velmora.HudProvider\\CLSID|(Default)|REG_SZ|$clsid" \
    "HKEY_CLASSES_ROOT\\Velmora.HudProvider.1|(Default)|REG_SZ|HudProvider Class" \
    "HKEY_CLASSES_ROOT\\Velmora.HudProvider.1\\CLSID|(Default)|REG_SZ|$clsid" \
    "$c|(Default)|REG_SZ|HudProvider Class" "$c\\ProgID|(Default)|REG_SZ|Velmora.HudProvider.1" \
    "$c\\VersionIndependentProgID|(Default)|REG_SZ|Velmora.HudProvider" \
    "$c\\InprocServer32|(Default)|REG_SZ|$(winpath "$dll")" \
    "$c\\InprocServer32|ThreadingModel|REG_SZ|both"; do
    expect "registry: $value" grep -qixF -- "$value" <<<"$values"
done
expect "the type library is registered" grep -qiF "TypeLib\\$libid" <<<"$registered"
expect "no ProgID has a CurVer key" eval '! grep -qi CurVer <<<"$registered"'

# The C++ client opens the first document of the run, in this run's new
# prefix, and times that open.
out=$(run 180 wine "$client" "$(winpath "$files")")
sed 's/^/    /' <<<"$out"
expect "C++ client" grep -qx 'com_client: 0 failures' <<<"$out"
out=$(run 120 wine cscript //nologo "$(winpath "$files/provider_test.vbs")")
sed 's/^/    /' <<<"$out"
expect "VBScript client" grep -qx 'vbscript: 0 failures' <<<"$out"
# The files the DLL saved and converted, read by the Linux build.
for saved in round-trip.xml:250000.00 legacy-deal.hud:1412.75 provider_test.xml:1234.50; do
    amount=$("$native/velmora" get "$files/${saved%:*}" n100/n104 amount 2>&1)
    expect "Linux reads ${saved%:*} (got '$amount')" [ "$amount" = "${saved#*:}" ]
done

# The README's examples run as they stand, and the README shows them as they are.
out=$(run 120 wine cscript //nologo "$(winpath "$files/example.vbs")")
expect "README VBScript example printed '$out'" [ "$out" = "n100/n104 amount = 250000.00" ]
out=$(run 120 wine "$example")
expect "README C++ example printed '$out'" [ "$out" = "n100/n104 amount = 250000.00" ]
readme=$(cat "$here/../../README.md")
for f in example.vbs example.cpp; do
    expect "README shows $f" eval '[[ "$readme" == *"$(sed "s/^/    /; s/^ *$//" "$here/$f")"* ]]'
done

# velmora.exe migrates a folder in one pass: the deal converted with its
# backup, the letter beside it left alone, and a report of both.
archive=$files/archive
mkdir -p "$archive/sub"
"$native/tests/wine/make_legacy_deal" "$archive/sub/deal one.hud"
echo "a letter" >"$archive/notes.txt"
out=$(run 120 wine "$windows/velmora.exe" convert --yes --report "$(winpath "$files/report.jsonl")" \
    "$(winpath "$archive")")
expect "velmora.exe convert summary '$out'" [ "$out" = "converted: 1, already converted: 0, not a deal: 1, unsupported kind: 0, refused: 0, failed: 0" ]
expect "velmora.exe convert report" grep -q '"path":"Z:\\\\.*\\\\sub\\\\deal one.hud","outcome":"converted"' "$files/report.jsonl"
amount=$("$native/velmora" get "$archive/sub/deal one.hud" n100/n104 amount 2>&1)
expect "Linux reads the deal velmora.exe converted (got '$amount')" [ "$amount" = "1412.75" ]
expect "the letter is left alone" [ "$(cat "$archive/notes.txt")" = "a letter" ]
expect "the deal has its backup" eval 'ls "$archive/sub/UpgradeBackup/"*.prb >/dev/null'

# velmora.exe indexes the folder: the converted deal, and a legacy deal read
# in memory and left as it was; the letter is no deal. Both builds search it.
"$native/tests/wine/make_legacy_deal" "$archive/old deal.hud"
before=$(sha256sum <"$archive/old deal.hud")
out=$(run 120 wine "$windows/velmora.exe" index --db "$(winpath "$files/index.db")" "$(winpath "$archive")")
expect "velmora.exe index summary '$out'" [ "$out" = "indexed: 2, unchanged: 0, not indexed: 0, not a deal: 1, removed: 0" ]
expect "index leaves the legacy deal as it was" [ "$(sha256sum <"$archive/old deal.hud")" = "$before" ]
out=$(run 60 wine "$windows/velmora.exe" search --db "$(winpath "$files/index.db")" settlement CHARGES)
expect "velmora.exe search finds both deals" [ "$(wc -l <<<"$out")" = 2 ]
expect "velmora.exe search names the legacy deal" grep -qF 'old deal.hud' <<<"$out"
out=$("$native/velmora" search --db "$files/index.db" --where file_number=2004-03 2>&1)
expect "Linux searches the index velmora.exe made" [ "$(wc -l <<<"$out")" = 2 ]

# Unregistration removes both ProgIDs and the class key, and leaves CLSID.
expect "regsvr32 /u unregisters the DLL" run 60 wine regsvr32 /s /u "$(winpath "$dll")"
for key in "${keys[@]}"; do
    expect "$key is gone" eval '! run 60 wine reg query "$key" >/dev/null'
done
expect "HKCR\\CLSID stays" eval 'run 60 wine reg query "HKCR\\CLSID" /ve >/dev/null'

echo "wine suite: $failures failures"
[ "$failures" -eq 0 ]
