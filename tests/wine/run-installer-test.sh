#!/usr/bin/env bash
# The installer of one architecture under Wine, with no regsvr32 anywhere but
# in the reference prefix:
#
#   run-installer-test.sh NATIVE_BUILD_DIR MSI CLIENT_DIR ARCH
#
# MSI is scripts/build-msi's package for ARCH (x64 or x86); CLIENT_DIR holds
# that architecture's com_client.exe and com_example.exe.
#
# In one fresh prefix regsvr32 registers the packaged DLL at the path the
# package installs it to; in another the package is installed silently, over
# an older version of itself (made here from the same files, with a marker
# appended to each) that a running host has loaded. The registry keys of both
# prefixes must be the same, one product must be left, with the newer files;
# an older package must be refused over it; the README's check, VBScript and
# the C++ client create the object, save and read deals; silent uninstall
# must leave no file and no key; repair must put back a deleted key and DLL;
# uninstall must remove the keys also when the DLL was deleted by hand; and
# an upgrade that fails half-way must leave the registration whole or absent.
#
# What Wine cannot show: a DLL in use cannot be replaced on Windows until a
# restart (exit code 3010), while Wine replaces it at once, so the test holds
# the result to 0 or 3010 and the registration to whole either way.
#
# Exit status: 0 passed, 1 failed, 77 skipped: the package or its clients
# are not built (make windows), or the package is 32-bit and this host runs
# no 32-bit programs.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine_host.sh
. "$here/wine_host.sh"
host_32bit_line
native=$(cd "${1:?native build folder}" && pwd)
msi=$(realpath -m "${2:?the package}")
clients=$(realpath -m "${3:?folder of the clients}")
arch=${4:?architecture: x64 or x86}
clsid='{5A9A80BF-8271-429F-8CA6-281DA8715C59}'
libid='{516964B9-B307-4057-8A55-90C28E2B8B9E}'
iid='{ECD4BF61-A8B4-4796-8338-9D75B7365FD4}'

skip() {
    echo "installer test: skipped: $1"
    exit 77
}
fail() {
    echo "installer test: $1" >&2
    exit 1
}
for tool in msiextract msiinfo wixl; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps)"
done
[ -x "$wine64" ] || fail "the 64-bit Wine loader is missing (scripts/install-deps)"
[ "$host_32bit" = not-installed ] && fail "$host_32bit_reason"
for f in "$msi" "$clients/com_client.exe" "$clients/com_example.exe"; do
    [ -f "$f" ] || skip "$f is missing; run 'make windows' first"
done
# The loader of the DLL's bitness hosts it; everything else goes through
# the 64-bit loader, which sees both registry views.
case $arch in
x64)
    host_wine=$wine64 typelib_platform=win64 system='C:\windows\system32' program_files='C:\Program Files'
    ;;
x86)
    [ "$host_32bit" = runs ] || skip "the 32-bit package needs 32-bit programs; $host_32bit_reason"
    host_wine=$wine32 typelib_platform=win32 system='C:\windows\syswow64' program_files='C:\Program Files (x86)'
    ;;
*)
    echo "installer test: unknown architecture '$arch' (x64 or x86)" >&2
    exit 2
    ;;
esac
install_dir="$program_files\\Velmora"

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-msi-$arch.XXXXXX")
export WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
unset DISPLAY WAYLAND_DISPLAY # no desktop, no Mono or Gecko installers
reference=$work/reference
installed=$work/installed
host_pid=
locked=
cleanup() {
    [ -n "$host_pid" ] && kill "$host_pid" 2>/dev/null
    [ -n "$locked" ] && chattr -i "$locked" 2>/dev/null
    for prefix in "$reference" "$installed"; do
        WINEPREFIX=$prefix timeout 30 "$wineserver" -k >/dev/null 2>&1
    done
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
# expect DESCRIPTION COMMAND...: runs the check and reports it.
expect() {
    if "${@:2}"; then echo "ok: $1"; else echo "FAIL: $1" && failures=$((failures + 1)); fi
}
# inside PREFIX SECONDS COMMAND...: a bounded wine call in PREFIX, its
# output without carriage returns.
inside() {
    WINEPREFIX=$1 timeout "${@:2}" 2>/dev/null | tr -d '\r'
    return "${PIPESTATUS[0]}"
}
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# unix_path PREFIX WINDOWS_PATH: where a C: path of PREFIX lies.
unix_path() {
    local rest=${2#C:\\}
    printf '%s/drive_c/%s' "$1" "${rest//\\//}"
}
msiexec() { inside "$installed" 120 "$wine64" msiexec "$@" /qn; }

# What the package ships, and an older package of the same files with a
# marker appended to each (harmless past the end of a PE image), so that the
# upgrade can be told apart from the files it replaced.
shipped=$work/shipped
mkdir -p "$shipped" "$work/older"
msiextract -C "$shipped" "$msi" >/dev/null || { echo "FAIL: msiextract $msi" && exit 1; }
shipped=$(dirname "$(find "$shipped" -name Velmora.dll | head -n 1)")
version=$(msiinfo export "$msi" Property | awk -F'\t' '$1 == "ProductVersion" { print $2 }' | tr -d '\r')
expect "the package ships Velmora.dll, velmora.exe and README.md" \
    test -f "$shipped/Velmora.dll" -a -f "$shipped/velmora.exe" -a -f "$shipped/README.md"
[ "$version" != 0.0.0 ] || { echo "FAIL: the package's version is 0.0.0, no older one exists" && exit 1; }
for f in Velmora.dll velmora.exe; do
    cp "$shipped/$f" "$work/older/$f" && printf 'older package\n' >>"$work/older/$f"
done
BUILD_DIR=$native "$here/../../scripts/build-msi" "$arch" "$work/older" "$work/older.msi" 0.0.0 \
    >/dev/null || { echo "FAIL: could not build the older package" && exit 1; }

# Both fresh prefixes at once: each takes most of the test's time to set up.
for prefix in "$reference" "$installed"; do
    (WINEPREFIX=$prefix timeout 180 "$wine64" wineboot -i >/dev/null 2>&1 &&
        WINEPREFIX=$prefix timeout 60 "$wineserver" -w) &
done
wait
for prefix in "$reference" "$installed"; do
    [ -f "$prefix/system.reg" ] || { echo "FAIL: wineboot made no prefix $prefix" && exit 1; }
done

# registry PREFIX VIEW...: every value under the keys of the class, its
# ProgIDs, the type library and the interface, one a line as
# VIEW|KEY|NAME|TYPE|DATA. VIEW is 64 or 32, a registry view as it is stored,
# or "host", the keys as a process of the DLL's bitness sees them. HELPDIR
# is compared without a trailing backslash: the installer's folder property
# has one, RegisterTypeLib's text has not.
registry() {
    local prefix=$1 view key
    for view in "${@:2}"; do
        for key in "HKCR\\Velmora.HudProvider" "HKCR\\Velmora.HudProvider.1" "HKCR\\CLSID\\$clsid" \
            "HKCR\\TypeLib\\$libid" "HKCR\\Interface\\$iid"; do
            if [ "$view" = host ]; then
                inside "$prefix" 60 "$host_wine" reg query "$key" /s
            else
                inside "$prefix" 60 "$wine64" reg query "$key" /s "/reg:$view"
            fi |
                awk -F'    ' -v view="$view" '/^HKEY_/ { key = $0; printf "%s|%s\n", view, key; next }
                    NF >= 3 && $1 == "" {
                        if (key ~ /\\HELPDIR$/) sub(/\\$/, "", $4)
                        printf "%s|%s|%s|%s|%s\n", view, key, $2, $3, $4 }'
        done
    done
}
# products: the installed products of this architecture, one a line as
# NAME|VERSION.
products() {
    local view
    for view in 64 32; do
        inside "$installed" 60 "$wine64" reg query \
            'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "/reg:$view" |
            awk -F'    ' '/^HKEY_/ { if (name != "") print name "|" version; name = version = ""; next }
                $2 == "DisplayName" { name = $4 } $2 == "DisplayVersion" { version = $4 }
                END { if (name != "") print name "|" version }'
    done | grep -F "Velmora ($arch)|" | sort -u
}

# The reference: regsvr32 of the DLL's bitness registers the shipped DLL
# where the package puts it.
ref_dir=$(unix_path "$reference" "$install_dir")
mkdir -p "$ref_dir" && cp "$shipped/Velmora.dll" "$ref_dir/"
expect "regsvr32 registers the DLL in the reference prefix" \
    inside "$reference" 120 "$host_wine" "$system\\regsvr32.exe" /s "$install_dir\\Velmora.dll"
registry "$reference" host >"$work/reference.txt"
registry "$reference" 64 32 >"$work/reference-views.txt"
expect "the reference holds the class's server" \
    grep -qiF "InprocServer32|(Default)|REG_SZ|$install_dir\\Velmora.dll" "$work/reference.txt"
expect "the reference holds the type library's path" \
    grep -qiF "\\1.0\\0\\$typelib_platform|(Default)|REG_SZ|$install_dir\\Velmora.dll" "$work/reference.txt"

# The older package, then a host that has its DLL loaded while the newer
# package replaces it.
dir=$(unix_path "$installed" "$install_dir")
expect "the older package installs silently" msiexec /i "$(winpath "$work/older.msi")"
expect "the older package's DLL is installed" cmp -s "$dir/Velmora.dll" "$work/older/Velmora.dll"
files=$work/files
mkdir -p "$files"
cp "$here/provider_test.vbs" "$here/example.vbs" "$files/"
cat >"$files/host.vbs" <<'VBS'
' Holds Velmora.dll loaded until the file named by the argument appears.
Set deal = CreateObject("Velmora.HudProvider")
deal.initHUDDocument
Set fs = CreateObject("Scripting.FileSystemObject")
fs.CreateTextFile(WScript.Arguments(0) & ".loaded").Close
Do Until fs.FileExists(WScript.Arguments(0))
    WScript.Sleep 100
Loop
deal.Dispose
VBS
WINEPREFIX=$installed timeout 300 "$host_wine" "$system\\cscript.exe" //nologo \
    "$(winpath "$files/host.vbs")" "$(winpath "$files/stop")" >/dev/null 2>&1 &
host_pid=$!
for _ in $(seq 600); do
    [ -f "$files/stop.loaded" ] || ! kill -0 "$host_pid" 2>/dev/null && break
    sleep 0.1
done
expect "a host has the older DLL loaded" test -f "$files/stop.loaded"

msiexec /i "$(winpath "$msi")" >/dev/null
status=$?
# 3010: done, a restart finishes replacing a file in use.
expect "the package installs silently over the running host (exit $status)" \
    test "$status" -eq 0 -o "$status" -eq 3010
registry "$installed" host >"$work/installed.txt"
expect "the package writes the keys regsvr32 writes, as $arch hosts see them" \
    diff -u "$work/reference.txt" "$work/installed.txt"
# A 32-bit package cannot write the 64-bit view, where RegisterTypeLib also
# files the interface (for 64-bit clients of a 32-bit server out of process,
# which an in-process server does not offer), and Wine files what a 32-bit
# component writes to a ProgID in the 32-bit view, where Windows shares the
# key between the views. So only the 64-bit package is held to both views.
if [ "$arch" = x64 ]; then
    registry "$installed" 64 32 >"$work/installed-views.txt"
    expect "the package writes the keys regsvr32 writes, in both registry views" \
        diff -u "$work/reference-views.txt" "$work/installed-views.txt"
fi
expect "one product is installed, the newer one ($(products | tr '\n' ' '))" \
    test "$(products)" = "Velmora ($arch)|$version"
for f in Velmora.dll velmora.exe README.md; do
    expect "the newer $f is installed" cmp -s "$dir/$f" "$shipped/$f"
done
touch "$files/stop"
wait "$host_pid"
expect "the host ran to its end" test $? -eq 0
host_pid=

# The README's check of an installation, as IT runs it at a command prompt.
readme=$here/../../README.md
check_lines=('echo WScript.Echo TypeName(CreateObject("Velmora.HudProvider"))>%TEMP%\check.vbs')
if [ "$arch" = x64 ]; then
    check_lines+=('cscript //nologo %TEMP%\check.vbs')
else
    check_lines+=('%windir%\SysWOW64\cscript //nologo %TEMP%\check.vbs')
fi
for line in "${check_lines[@]}"; do
    expect "the README shows '$line'" grep -qxF "    $line" "$readme"
done
printf '@echo off\r\n%s\r\n%s\r\n' "${check_lines[@]}" >"$files/check.cmd"
readme_check() { inside "$installed" 120 "$wine64" cmd /c "$(winpath "$files/check.cmd")"; }
out=$(readme_check)
expect "the README's check prints '$out'" test "$out" = IHudProvider

# An older package does not replace a newer one.
expect "the older package is refused over the newer one" eval '! msiexec /i "$(winpath "$work/older.msi")"'
expect "the newer product stays ($(products | tr '\n' ' '))" test "$(products)" = "Velmora ($arch)|$version"
expect "the newer DLL stays" cmp -s "$dir/Velmora.dll" "$shipped/Velmora.dll"

# The clients create the object from the registration the package wrote.
"$native/tests/wine/make_legacy_deal" "$files/legacy-deal.hud"
"$native/velmora" new "$files/first-open.xml" >/dev/null
out=$(inside "$installed" 180 "$host_wine" "$system\\cscript.exe" //nologo \
    "$(winpath "$files/provider_test.vbs")")
sed 's/^/    /' <<<"$out"
expect "VBScript creates the object and saves and reads a deal" grep -qx 'vbscript: 0 failures' <<<"$out"
out=$(inside "$installed" 120 "$host_wine" "$system\\cscript.exe" //nologo \
    "$(winpath "$files/example.vbs")")
expect "the README's VBScript example printed '$out'" test "$out" = "n100/n104 amount = 250000.00"
out=$(inside "$installed" 180 "$host_wine" "$(winpath "$clients/com_client.exe")" "$(winpath "$files")")
sed 's/^/    /' <<<"$out"
expect "the C++ client" grep -qx 'com_client: 0 failures' <<<"$out"
for saved in round-trip.xml:250000.00 provider_test.xml:1234.50; do
    amount=$("$native/velmora" get "$files/${saved%:*}" n100/n104 amount 2>&1)
    expect "Linux reads ${saved%:*} (got '$amount')" test "$amount" = "${saved#*:}"
done

# Uninstall removes every file and key, and the folder.
expect "the package uninstalls silently" msiexec /x "$(winpath "$msi")"
expect "no product is left" test -z "$(products)"
expect "the install folder is gone" test ! -e "$dir"
registry "$installed" 64 32 >"$work/left.txt"
expect "no key is left" test ! -s "$work/left.txt"
out=$(readme_check)
expect "the README's check fails after uninstall (printed '$out')" test "$out" != IHudProvider

# A DLL deleted by hand: uninstall still removes the keys.
expect "the package installs again" msiexec /i "$(winpath "$msi")"
registry "$installed" host >"$work/again.txt"
expect "the keys are back" cmp -s "$work/reference.txt" "$work/again.txt"

# Repair, as the README tells it, puts back a deleted key and the DLL.
inside "$installed" 60 "$host_wine" reg delete "HKCR\\CLSID\\$clsid" /f >/dev/null
rm -f "$dir/Velmora.dll"
registry "$installed" host >"$work/broken.txt"
expect "the class's key is deleted" eval '! grep -qiF "CLSID\\$clsid" "$work/broken.txt"'
expect "the README shows the repair" grep -qF 'REINSTALL=ALL REINSTALLMODE=amus /qn' "$readme"
expect "the package repairs silently" msiexec /i "$(winpath "$msi")" REINSTALL=ALL REINSTALLMODE=amus
registry "$installed" host >"$work/repaired.txt"
expect "repair puts the keys back" cmp -s "$work/reference.txt" "$work/repaired.txt"
expect "repair puts the DLL back" cmp -s "$dir/Velmora.dll" "$shipped/Velmora.dll"
rm -f "$dir/Velmora.dll"
expect "the package uninstalls without its DLL" msiexec /x "$(winpath "$msi")"
registry "$installed" 64 32 >"$work/left.txt"
expect "no key is left after the DLL was deleted" test ! -s "$work/left.txt"
expect "no file is left after the DLL was deleted" test ! -e "$dir"

# An upgrade that fails half-way, because the older DLL can be neither
# removed nor replaced (an immutable file, which root can make on Linux file
# systems that have the attribute), must leave the registration whole or
# absent, never some keys without the others.
expect "the older package installs again" msiexec /i "$(winpath "$work/older.msi")"
if chattr +i "$dir/Velmora.dll" 2>/dev/null; then
    locked=$dir/Velmora.dll
    msiexec /i "$(winpath "$msi")" >/dev/null
    status=$?
    chattr -i "$locked" && locked=
    registry "$installed" host >"$work/failed.txt"
    registry "$installed" 64 32 >"$work/failed-views.txt"
    if [ "$status" -eq 0 ]; then
        expect "an upgrade that reports success over a locked DLL registers it whole" \
            cmp -s "$work/reference.txt" "$work/failed.txt"
    else
        expect "a failed upgrade (exit $status) leaves the registration whole or absent" \
            eval 'cmp -s "$work/reference.txt" "$work/failed.txt" || test ! -s "$work/failed-views.txt"'
        echo "    after the failed upgrade: $(products | tr '\n' ' ')$(wc -l <"$work/failed-views.txt") registry lines"
    fi
else
    echo "skipped: a failed upgrade (chattr +i does not work here)"
fi

echo "installer test ($arch): $failures failures"
[ "$failures" -eq 0 ]
