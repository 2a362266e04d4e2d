#!/usr/bin/env bash
# The Wine suite of one Velmora.dll: registers the DLL in a fresh private
# 64-bit Wine prefix (which runs 32-bit programs through WoW64, as 64-bit
# Windows does), checks the registry view the registration belongs in and the
# one it must stay out of, drives the DLL from a C++ client and from VBScript,
# races two client processes saving the same deals, measures what unloading
# and reloading the DLL costs a host, runs the README's examples, reads the
# files the DLL saved with the Linux build, runs velmora.exe of the same
# build, and checks what unregistration leaves.
#
#   run-wine-suite.sh NATIVE_BUILD_DIR WINDOWS_BUILD_DIR ARCH
#
# ARCH is x64 or x86, the bitness of the build in WINDOWS_BUILD_DIR; it
# decides which regsvr32 and cscript load the DLL (only a process of the
# DLL's own bitness can) and which registry view the registration lands in.
#
# Exit status: 0 passed, 1 failed, 77 skipped: the DLL has not been built
# (make windows), or it is 32-bit and this host runs no 32-bit programs.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine_host.sh
. "$here/wine_host.sh"
host_32bit_line
native=$(cd "${1:?native build folder}" && pwd)
windows=$(realpath -m "${2:?Windows build folder}")
arch=${3:?architecture: x64 or x86}
case $arch in
x64) system=system32 other_system=syswow64 view=64 other_view=32 ;;
x86) system=syswow64 other_system=system32 view=32 other_view=64 ;;
*)
    echo "wine suite: unknown architecture '$arch' (x64 or x86)" >&2
    exit 2
    ;;
esac
# The prefix runs as 64-bit Windows, through the 64-bit loader, which hands
# 32-bit programs to theirs (a 32-bit program sees syswow64 as system32).
wine=$wine64
[ -x "$wine" ] || { echo "wine suite: no 64-bit Wine loader (scripts/install-deps)" >&2; exit 1; }
# A missing wine32 package is a failure; a host that cannot run it skips
# the 32-bit suite and the checks of the 64-bit one that need a 32-bit reg.
case $host_32bit in
not-installed)
    echo "wine suite: $host_32bit_reason" >&2
    exit 1
    ;;
cannot-run)
    if [ "$arch" = x86 ]; then
        echo "wine suite: skipped: the 32-bit DLL needs 32-bit programs; $host_32bit_reason"
        exit 77
    fi
    ;;
esac

dll=$windows/Velmora.dll
exe=$windows/velmora.exe
client=$windows/wine-client/com_client.exe
example=$windows/wine-client/com_example.exe
clsid='{5A9A80BF-8271-429F-8CA6-281DA8715C59}'
libid='{516964B9-B307-4057-8A55-90C28E2B8B9E}'
for f in "$dll" "$exe" "$client" "$example"; do
    [ -f "$f" ] || { echo "wine suite: $f is missing; run 'make windows' first" >&2; exit 77; }
done
# The Windows programs of the DLL's bitness: a 32-bit DLL is registered and
# scripted by the 32-bit regsvr32 and cscript of syswow64, as on Windows.
tools="C:\\windows\\$system" other_tools="C:\\windows\\$other_system"
typelib_platform=win$view other_platform=win$other_view
work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-wine-$arch.XXXXXX")
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
unset DISPLAY WAYLAND_DISPLAY # no desktop, no Mono or Gecko installers
trap 'timeout 30 "$wineserver" -k >/dev/null 2>&1; rm -rf "$work"' EXIT

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

# A fresh prefix goes on setting itself up after the first call returns; a
# COM activation meanwhile can stall for minutes.
run 180 "$wine" wineboot -i >/dev/null
run 180 "$wineserver" -w
if [ ! -f "$WINEPREFIX/drive_c/windows/$system/regsvr32.exe" ]; then
    printf 'wine suite: the prefix has no %s (32-bit Wine: scripts/install-deps)\n' \
        "$system/regsvr32.exe" >&2
    exit 1
fi

expect "$system regsvr32 registers the DLL" run 180 "$wine" "$tools\\regsvr32.exe" /s "$(winpath "$dll")"
# ProgIDs and type libraries are shared by both registry views, classes are
# not: each bitness has its own CLSID key, naming its own DLL. The registry is
# read as hosts see it, by the reg of their bitness: Wine's 64-bit reg does not
# show shared keys through /reg:32.
keys=("HKCR\\Velmora.HudProvider" "HKCR\\Velmora.HudProvider.1" "HKCR\\CLSID\\$clsid"
    "HKCR\\TypeLib\\$libid")
registered=$(for key in "${keys[@]}"; do
    run 60 "$wine" "$tools\\reg.exe" query "$key" /s "/reg:$view"
done)
# One line per value: KEY|NAME|TYPE|DATA.
values=$(awk -F'    ' '/^HKEY_/ { key = $0; next }
    NF >= 3 && $1 == "" { printf "%s|%s|%s|%s\n", key, $2, $3, $4 }' <<<"$registered")
c="HKEY_CLASSES_ROOT\\CLSID\\$clsid"
t="HKEY_CLASSES_ROOT\\TypeLib\\$libid\\1.0"
for value in "HKEY_CLASSES_ROOT\\Velmora.HudProvider|(Default)|REG_SZ|HudProvider Class" \
    "HKEY_CLASSES_ROOT\\Velmora.HudProvider\\CLSID|(Default)|REG_SZ|$clsid" \
    "HKEY_CLASSES_ROOT\\Velmora.HudProvider.1|(Default)|REG_SZ|HudProvider Class" \
    "HKEY_CLASSES_ROOT\\Velmora.HudProvider.1\\CLSID|(Default)|REG_SZ|$clsid" \
    "$c|(Default)|REG_SZ|HudProvider Class" "$c\\ProgID|(Default)|REG_SZ|Velmora.HudProvider.1" \
    "$c\\VersionIndependentProgID|(Default)|REG_SZ|Velmora.HudProvider" \
    "$c\\InprocServer32|(Default)|REG_SZ|$(winpath "$dll")" \
    "$c\\InprocServer32|ThreadingModel|REG_SZ|both" \
    "$t\\0\\$typelib_platform|(Default)|REG_SZ|$(winpath "$dll")"; do
    expect "$view-bit registry view: $value" grep -qixF -- "$value" <<<"$values"
done
expect "no ProgID has a CurVer key" eval '! grep -qi CurVer <<<"$registered"'
# A type library of the wrong bitness registers under the other platform's
# key, where hosts of this bitness do not look.
expect "no $other_platform type library" eval '! grep -qixF "$t\\0\\$other_platform" <<<"$registered"'
# The class must stay out of the other view, or hosts of the other bitness
# would try to load a DLL they cannot. That view's reg must read its CLSID
# key, or a reg that cannot run would pass for an absent class.
other_reg() { run 60 "$wine" "$other_tools\\reg.exe" query "$1" /ve "/reg:$other_view" >/dev/null; }
if [ "$other_view" = 32 ] && [ "$host_32bit" != runs ]; then
    echo "not run: the $other_view-bit registry view has no $clsid (its reg is a 32-bit program)"
else
    expect "the $other_view-bit registry view has no $clsid" \
        eval 'other_reg "HKCR\\CLSID" && ! other_reg "HKCR\\CLSID\\$clsid"'
fi

# The C++ client opens the first document of the run, in this run's new
# prefix, and times that open.
out=$(run 180 "$wine" "$client" "$(winpath "$files")")
sed 's/^/    /' <<<"$out"
expect "C++ client" grep -qx 'com_client: 0 failures' <<<"$out"
out=$(run 120 "$wine" "$tools\\cscript.exe" //nologo "$(winpath "$files/provider_test.vbs")")
sed 's/^/    /' <<<"$out"
expect "VBScript client" grep -qx 'vbscript: 0 failures' <<<"$out"
# The files the DLL saved and converted, read by the Linux build.
for saved in round-trip.xml:250000.00 legacy-deal.hud:1412.75 provider_test.xml:1234.50; do
    amount=$("$native/velmora" get "$files/${saved%:*}" n100/n104 amount 2>&1)
    expect "Linux reads ${saved%:*} (got '$amount')" [ "$amount" = "${saved#*:}" ]
done

# Two hosts open, change and save the same three deals at the same time,
# each refused whenever the other holds a deal. A save that loses the race
# leaves no file behind, neither its own temporary file nor one the system
# made for it, and every deal still opens.
race=$files/race
mkdir -p "$race"
deals=()
for n in 1 2 3; do
    "$native/velmora" new "$race/deal-$n.xml" >/dev/null
    deals+=("$(winpath "$race/deal-$n.xml")")
done
run 60 "$wine" "$client" save-race 4 "${deals[@]}" >"$work/race-1.txt" &
run 60 "$wine" "$client" save-race 4 "${deals[@]}" >"$work/race-2.txt"
wait
lost=0
for n in 1 2; do
    out=$(cat "$work/race-$n.txt")
    sed 's/^/    /' <<<"$out"
    expect "save race: host $n saved, every call answered" \
        grep -qE '^save-race: [1-9][0-9]* saved, .*, 0 call errors;' <<<"$out"
    not_saved=$(sed -nE 's/^save-race: [0-9]+ saved, ([0-9]+) not saved.*/\1/p' <<<"$out")
    lost=$((lost + ${not_saved:-0}))
done
# Else the race proved nothing about failed saves.
expect "save race: saves failed ($lost)" [ "$lost" -gt 0 ]
left=$(cd "$race" && ls -A | tr '\n' ' ')
expect "save race leaves the deals and nothing else (found: $left)" \
    [ "$left" = "deal-1.xml deal-2.xml deal-3.xml " ]
for n in 1 2 3; do
    amount=$("$native/velmora" get "$race/deal-$n.xml" n100/n104 amount 2>&1)
    expect "Linux reads deal-$n.xml after the race (got '$amount')" \
        grep -qxE '[1-9][0-9]*\.00' <<<"$amount"
done

# A host that releases every provider and calls CoFreeUnusedLibraries after
# each, over and over, holds no more memory, handles or threads at the end.
out=$(run 120 "$wine" "$client" reload-cost 200)
sed 's/^/    /' <<<"$out"
expect "reload cost" grep -qx 'reload-cost: 0 failures' <<<"$out"

# The README's examples run as they stand, and the README shows them as they are.
out=$(run 120 "$wine" "$tools\\cscript.exe" //nologo "$(winpath "$files/example.vbs")")
expect "README VBScript example printed '$out'" [ "$out" = "n100/n104 amount = 250000.00" ]
out=$(run 120 "$wine" "$example")
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
out=$(run 120 "$wine" "$exe" convert --yes --report "$(winpath "$files/report.jsonl")" \
    "$(winpath "$archive")")
expect "velmora.exe convert summary '$out'" [ "$out" = "converted: 1, already converted: 0, not a deal: 1, unsupported kind: 0, refused: 0, failed: 0, broken link: 0" ]
expect "velmora.exe convert report" grep -q '"path":"Z:\\\\.*\\\\sub\\\\deal one.hud","outcome":"converted"' "$files/report.jsonl"
amount=$("$native/velmora" get "$archive/sub/deal one.hud" n100/n104 amount 2>&1)
expect "Linux reads the deal velmora.exe converted (got '$amount')" [ "$amount" = "1412.75" ]
expect "the letter is left alone" [ "$(cat "$archive/notes.txt")" = "a letter" ]
expect "the deal has its backup" eval 'ls "$archive/sub/UpgradeBackup/"*.prb >/dev/null'
expect "the replaced file kept for the last look is gone" [ -z "$(find "$archive" -name '*.tmp-*')" ]

# velmora.exe indexes the folder: the converted deal, and a legacy deal read
# in memory and left as it was; the letter is no deal. Both builds search it.
"$native/tests/wine/make_legacy_deal" "$archive/old deal.hud"
before=$(sha256sum <"$archive/old deal.hud")
out=$(run 120 "$wine" "$exe" index --db "$(winpath "$files/index.db")" "$(winpath "$archive")")
expect "velmora.exe index summary '$out'" [ "$out" = "indexed: 2, unchanged: 0, not indexed: 0, not a deal: 1, broken link: 0, removed: 0" ]
expect "index leaves the legacy deal as it was" [ "$(sha256sum <"$archive/old deal.hud")" = "$before" ]
out=$(run 60 "$wine" "$exe" search --db "$(winpath "$files/index.db")" settlement CHARGES)
expect "velmora.exe search finds both deals" [ "$(wc -l <<<"$out")" = 2 ]
expect "velmora.exe search names the legacy deal" grep -qF 'old deal.hud' <<<"$out"
# Its rows on standard output; standard error may say that others can read
# the file, which velmora.exe made with its folder's permissions.
out=$("$native/velmora" search --db "$files/index.db" --where file_number=2004-03 2>"$work/err")
expect "Linux searches the index velmora.exe made ($(cat "$work/err"))" [ "$(wc -l <<<"$out")" = 2 ]

# Unregistration removes both ProgIDs and the class key, and leaves CLSID.
expect "$system regsvr32 /u unregisters the DLL" run 60 "$wine" "$tools\\regsvr32.exe" /s /u "$(winpath "$dll")"
for key in "${keys[@]}"; do
    expect "$key is gone" eval '! run 60 "$wine" "$tools\\reg.exe" query "$key" "/reg:$view" >/dev/null'
done
expect "HKCR\\CLSID stays" eval 'run 60 "$wine" "$tools\\reg.exe" query "HKCR\\CLSID" /ve >/dev/null'

echo "wine suite ($arch): $failures failures"
[ "$failures" -eq 0 ]
