#!/usr/bin/env bash
# The Windows CLI suite: velmora.exe under Wine as a Windows office uses it.
# Deals in folders named in Vietnamese, Greek, Polish and Chinese, one of
# them at a path of 300 characters, go through convert, check, index, search,
# render and export; one folder indexed under three spellings keeps one row
# per deal; a program holding a deal with share mode 0 makes it "held",
# waited for and converted once it lets go; input from NUL asks no
# question; legacy text keeps its characters on a Windows of code page 1250;
# the index and a page made from a private deal admit its user alone, and a
# removed deal leaves nothing in the index; and the same tree indexed here
# and on Linux gives the same rows.
#
#   run-wine-cli-suite.sh NATIVE_BUILD_DIR WINDOWS_BUILD_DIR ARCH
#
# Exit status: 0 passed, 1 failed, 77 skipped: velmora.exe or the holder has
# not been built (scripts/build-windows), Wine cannot run it, or it is 32-bit
# and this host runs no 32-bit programs.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine_host.sh
. "$here/wine_host.sh"
host_32bit_line
native=$(cd "${1:?native build folder}" && pwd)
windows=$(realpath -m "${2:?Windows build folder}")
arch=${3:?architecture: x64 or x86}
case $arch in
x64 | x86) ;;
*)
    echo "wine cli suite: unknown architecture '$arch' (x64 or x86)" >&2
    exit 2
    ;;
esac
if [ "$arch" = x86 ] && [ "$host_32bit" != runs ]; then
    echo "wine cli suite: skipped: the 32-bit velmora.exe needs 32-bit programs; $host_32bit_reason"
    exit 77
fi
wine=$wine64
[ -x "$wine" ] || { echo "wine cli suite: skipped: no 64-bit Wine loader" && exit 77; }
exe=$windows/velmora.exe
holder=$windows/wine-client/file_holder.exe
for f in "$exe" "$holder"; do
    [ -f "$f" ] || { echo "wine cli suite: skipped: $f is missing (scripts/build-windows $arch)" && exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-wine-cli-$arch.XXXXXX")
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
unset DISPLAY WAYLAND_DISPLAY # no desktop, no Mono or Gecko installers
holders=()
cleanup() {
    for pid in "${holders[@]}"; do kill "$pid" 2>/dev/null; done
    timeout 30 "$wineserver" -k >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
# expect DESCRIPTION COMMAND...: runs the check and reports it.
expect() {
    if "${@:2}"; then echo "ok: $1"; else echo "FAIL: $1" && failures=$((failures + 1)); fi
}
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# The form the tool prints a path in: every backslash doubled.
shown() { local p; p=$(winpath "$1") && printf '%s' "${p//\\/\\\\}"; }
# vel ARGS...: velmora.exe, bounded; its standard output in $out, its
# standard error in $err (carriage returns dropped), its exit status in $status.
# wine_env holds variables for Wine's environment alone (a locale the shell
# itself need not know).
wine_env=()
vel() {
    env "${wine_env[@]}" timeout 120 "$wine" "$exe" "$@" >"$work/out" 2>"$work/err"
    status=$?
    out=$(tr -d '\r' <"$work/out")
    err=$(tr -d '\r' <"$work/err")
}
# Whether $1 holds $2 as it stands.
holds() { [[ "$1" == *"$2"* ]]; }
# Whether the file $1 is an XML document now (a legacy one begins with binary).
is_xml() { [ "$(head -c 10 "$1" | tr -d '\0')" = "<calverin>" ]; }

timeout 180 "$wine" wineboot -i >/dev/null 2>&1
timeout 180 "$wineserver" -w
vel --version
if [ "$status" -ne 0 ]; then
    echo "wine cli suite: skipped: Wine does not run velmora.exe (exit $status: $err)"
    exit 77
fi

# The Windows build prints no PDFs: its help does not offer them (and a
# script written for the Linux build is told why, below).
vel render --help
expect "render --help offers no --pdf" eval '[ "$status" -eq 0 ] && ! holds "$out" "--pdf"'

# The share: a legacy deal in each folder, the borrowers' names in the
# Windows-1252 the legacy format holds, and one deal 300 characters deep.
share=$work/share
vietnamese="$share/Nguyễn Văn An/Nguyễn closing.hud"
greek="$share/Ωmega Κλείσιμο/Ωmega.hud"
polish="$share/Łódź Branch/Źródło umowy.hud"
chinese="$share/中文分行/交易 一.hud"
deep_folder="$share/long/$(printf 'a%.0s' {1..60})/$(printf 'b%.0s' {1..60})/$(printf 'c%.0s' {1..60})"
deep_name="Łódź deal.hud"
used=$(winpath "$deep_folder/$deep_name")
deep_folder+="/$(printf 'd%.0s' $(seq 1 $((300 - ${#used} - 1))))"
deep="$deep_folder/$deep_name"
mkdir -p "$(dirname "$vietnamese")" "$(dirname "$greek")" "$(dirname "$polish")" \
    "$(dirname "$chinese")" "$deep_folder"
make_deal() { "$native/tests/wine/make_legacy_deal" "$@" || echo "FAIL: make_legacy_deal $1"; }
make_deal "$vietnamese" VN-0001 $'Jos\xe9 Mu\xf1oz'
make_deal "$greek" GR-0001 $'S\xf8ren \xd8deg\xe5rd'
make_deal "$polish" PL-0001 $'Ni\xf1o Pe\xf1a'
make_deal "$chinese" CN-0001 $'Zo\xeb Bront\xeb'
make_deal "$deep" LP-0001 $'Fran\xe7ois L\xe9vy'
deals=("$vietnamese" "$greek" "$polish" "$chinese" "$deep")
long=$(winpath "$deep")
expect "the deep deal's path has 300 characters (${#long})" [ "${#long}" -eq 300 ]
# The same tree, unconverted, for both builds' indexes.
cp -a "$share" "$work/twin-windows"
cp -a "$share" "$work/twin-linux"

# Input from NUL is no terminal: no question, the hint instead.
timeout 120 "$wine" cmd /c "$(winpath "$exe") convert $(winpath "$share") < NUL" \
    >"$work/out" 2>"$work/err"
err=$(tr -d '\r' <"$work/err")
expect "convert from NUL asks nothing" eval '! holds "$err" "[y/N]"'
expect "convert from NUL gives the hint ($err)" holds "$err" "run with --yes to agree"
expect "convert from NUL converts nothing" eval '! is_xml "$vietnamese"'

vel convert --yes --report "$(winpath "$work/report.jsonl")" "$(winpath "$share")"
expect "convert converts every deal ($out $err)" \
    [ "$out" = "converted: 5, already converted: 0, not a deal: 0, unsupported kind: 0, refused: 0, failed: 0, broken link: 0" ]
for deal in "${deals[@]}"; do
    expect "converted in place: ${deal#"$share"/}" is_xml "$deal"
    json=$(winpath "$deal")
    expect "the report names ${deal##*/} in UTF-8" grep -qF "\"path\":\"${json//\\/\\\\}\"" "$work/report.jsonl"
done
expect "Linux reads José Muñoz from the deal velmora.exe converted" \
    [ "$("$native/velmora" get "$vietnamese" d name1 2>&1)" = "José Muñoz" ]

vel check "$(winpath "$share")"
expect "check passes the share ($status: $err)" [ "$status" -eq 0 ]
for deal in "${deals[@]}"; do
    expect "check names ${deal##*/}" holds "$out" "$(shown "$deal"): XML document, version 201, type hud"
done
vel check "$long"
expect "check of the 300-character path ($err)" [ "$out" = "$(shown "$deep"): XML document, version 201, type hud" ]
vel check "$long.missing"
expect "a long name that is not there is missing ($out)" holds "$out" "no such file or folder"

db=$(winpath "$work/index.db")
vel index --db "$db" "$(winpath "$share")"
expect "index reads every deal ($out $err)" \
    [ "$out" = "indexed: 5, unchanged: 0, not indexed: 0, not a deal: 0, broken link: 0, removed: 0" ]
for word in muñoz MUÑOZ søren ødegård κλείσιμο źródło 交易 nguyễn; do
    vel search --db "$db" "$word"
    expect "search $word finds one deal ($out $err)" [ "$(grep -c . <<<"$out")" -eq 1 ]
done
vel search --db "$db" łódź
expect "search łódź finds the folder's deal and the deep one ($err)" \
    [ "$(grep -c . <<<"$out")" -eq 2 ]
vel search --db "$db" --where borrowers=josé
expect "search --where borrowers=josé ($err)" holds "$out" "$(shown "$vietnamese")"
vel search --db "$db" --where "file_number=LP-0001"
expect "search finds the deep deal by its full path" holds "$out" "$(shown "$deep")"

vel render "$(winpath "$chinese")"
expect "render writes the page beside the deal ($err)" grep -qF "Zoë Brontë" "${chinese%.hud}.html"
vel render -o - "$(winpath "$greek")"
expect "render to standard output in UTF-8" holds "$out" "Søren Ødegård"
vel render "$long"
expect "render at 300 characters ($err)" grep -qF "François Lévy" "${deep%.hud}.html"
vel render --pdf -o - "$(winpath "$polish")"
expect "render --pdf is refused with the reason ($err)" holds "$err" "PDF output is not supported"
vel export --json "$(winpath "$polish")" d
expect "export in UTF-8 ($err)" holds "$out" '"value":"Niño Peña"'
vel export --json "$long" d
expect "export at 300 characters ($err)" holds "$out" '"value":"François Lévy"'

# A name given in an argument reaches the file, the index and the search.
vel set "$(winpath "$greek")" d name2 "Σωκράτης Παπαδόπουλος"
expect "set takes a Greek argument ($err)" \
    [ "$("$native/velmora" get "$greek" d name2 2>&1)" = "Σωκράτης Παπαδόπουλος" ]
vel index --db "$db" "$(winpath "$share")"
# The pages render wrote beside the deals are no deals.
expect "index reads the changed deal again ($out)" \
    [ "$out" = "indexed: 1, unchanged: 4, not indexed: 0, not a deal: 2, broken link: 0, removed: 0" ]
vel search --db "$db" ΣΩΚΡΆΤΗΣ
expect "search ΣΩΚΡΆΤΗΣ finds the changed deal ($err)" holds "$out" "$(shown "$greek")"

# One folder, three spellings: one row per deal, and nothing read again.
spelled=$(winpath "$work/spelled.db")
vel index --db "$spelled" "$(winpath "$share")"
expect "the first spelling indexes the share ($out)" holds "$out" "indexed: 5,"
upper=$(winpath "$work")
vel index --db "$spelled" "${upper^^}\\SHARE\\"
expect "another case and a trailing separator change nothing ($out $err)" \
    [ "$out" = "indexed: 0, unchanged: 5, not indexed: 0, not a deal: 2, broken link: 0, removed: 0" ]
(cd "$work/share/long" && vel index --db "$spelled" "..\\.\\..\\share")
expect "a relative spelling changes nothing ($out $err)" \
    [ "$out" = "indexed: 0, unchanged: 5, not indexed: 0, not a deal: 2, broken link: 0, removed: 0" ]
vel search --db "$spelled" --limit 100 hud
expect "one row per deal ($out)" [ "$(grep -c . <<<"$out")" -eq 5 ]

# Held with share mode 0: reported as held, waited for, converted once the
# holder lets go. (Wine keeps byte-range locks from LockFile only against
# other locks, never against reads, so a lock holder cannot be tried here.)
held="$share/Łódź Branch/held deal.hud"
make_deal "$held" HD-0001 "Held Borrower"
# hold: starts the holder and waits until it holds the file.
hold() {
    rm -f "$work/release"
    timeout 150 "$wine" "$holder" "$(winpath "$held")" "$(winpath "$work/release")" \
        >"$work/holder.out" 2>&1 &
    holders+=($!)
    for _ in $(seq 1 600); do
        grep -q holding "$work/holder.out" 2>/dev/null && return 0
        grep -q 'cannot hold' "$work/holder.out" 2>/dev/null && break
        sleep 0.1
    done
    echo "FAIL: the holder does not hold the file: $(cat "$work/holder.out")"
    failures=$((failures + 1))
    return 1
}
release() {
    touch "$work/release"
    wait "${holders[-1]}"
}
if hold; then
    vel check --wait 0 "$(winpath "$held")"
    expect "check says held ($out)" holds "$out" "held by another program"
    vel convert --yes "$(winpath "$held")"
    expect "convert refuses it as held ($err)" holds "$err" "held by another program"
    expect "convert leaves it" eval '! is_xml "$held"'
    vel render --wait 0 -o - "$(winpath "$held")"
    expect "render says held ($err)" holds "$err" "held by another program"
    vel index --db "$db" "$(winpath "$held")"
    expect "index says held ($err)" holds "$err" "held by another program"
    # The reader starts while the file is held; one that did not wait would
    # fail. The pause only lets it start before the hold ends.
    timeout 120 "$wine" "$exe" render --wait 60 -o - "$(winpath "$held")" \
        >"$work/waited.out" 2>"$work/waited.err" &
    reader=$!
    sleep 3
    release
    wait "$reader"
    expect "render waits for the holder ($(tr -d '\r' <"$work/waited.err"))" \
        grep -q "Held Borrower" "$work/waited.out"
fi
vel convert --yes "$(winpath "$held")"
expect "converted once the holder let go ($out $err)" holds "$out" "converted: 1,"

# On a Windows whose ANSI code page is 1250, legacy text is still read as
# Windows-1252, with no '?', or as 1250 when the run names it; a byte the
# named code page has no character for fails the file, naming it and the
# byte, and leaves it as it was. Wine takes the code page from the locale,
# compiled here into the suite's own folder.
locales=$work/locale
mkdir -p "$locales"
if localedef -i pl_PL -f UTF-8 "$locales/pl_PL.UTF-8" >/dev/null 2>&1; then
    wine_env=(LOCPATH="$locales" LC_ALL=pl_PL.UTF-8)
    acp=$(env "${wine_env[@]}" timeout 60 "$wine" reg query \
        'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null | tr -d '\r')
    expect "the Polish locale runs Wine in code page 1250 ($acp)" holds "$acp" "REG_SZ    1250"
    central="$work/central/Łódź deals"
    mkdir -p "$central"
    make_deal "$central/western.hud" CP-1252 $'Jos\xe9 Mu\xf1oz'
    make_deal "$central/polish.hud" CP-1250 $'Jos\xe9 Mu\xf1oz'
    make_deal "$central/greek.hud" CP-1253 $'\xc1\xaa'
    vel convert --yes "$(winpath "$central/western.hud")"
    expect "convert under code page 1250 ($out $err)" holds "$out" "converted: 1,"
    expect "the deal holds José Muñoz, not a '?'" \
        [ "$("$native/velmora" get "$central/western.hud" d name1 2>&1)" = "José Muñoz" ]
    vel convert --yes --code-page 1250 "$(winpath "$central/polish.hud")"
    expect "--code-page 1250 reads José Muńoz" \
        [ "$("$native/velmora" get "$central/polish.hud" d name1 2>&1)" = "José Muńoz" ]
    before=$(sha256sum <"$central/greek.hud")
    vel convert --yes --code-page 1253 "$(winpath "$central/greek.hud")"
    expect "a byte code page 1253 lacks fails the file by name ($err)" \
        holds "$err" "$(shown "$central/greek.hud"): The file is damaged and cannot be converted: byte 0xAA has no character in code page 1253"
    expect "the file it failed is as it was" [ "$(sha256sum <"$central/greek.hud")" = "$before" ]
    wine_env=()
else
    echo "FAIL: localedef cannot make the Polish locale (scripts/install-deps installs locales)"
    failures=$((failures + 1))
fi

# velmora.exe serve answers a search from the Linux side on loopback, and
# serves the deal it found; any other address is refused in this build.
port=$((20000 + RANDOM % 20000))
timeout 120 "$wine" "$exe" serve --db "$db" --listen "127.0.0.1:$port" >"$work/serve.out" \
    2>"$work/serve.err" &
server=$!
holders+=("$server")
for _ in $(seq 1 300); do
    grep -q serving "$work/serve.out" 2>/dev/null && break
    sleep 0.2
done
expect "velmora.exe serve starts ($(tr -d '\r' <"$work/serve.err"))" grep -q serving "$work/serve.out"
found=$(curl -s --max-time 20 "http://127.0.0.1:$port/api/search?q=mu%C3%B1oz")
expect "the Linux side finds José Muñoz through velmora.exe serve ($found)" \
    holds "$found" '"borrowers":"José Muñoz"'
id=$(sed -nE 's/^\{"id":([0-9]+),.*/\1/p' <<<"$found" | head -n 1)
page=$(curl -s --max-time 20 "http://127.0.0.1:$port/deal/$id")
expect "and gets the deal's statement" holds "$page" "José Muñoz"
kill "$server" 2>/dev/null
vel serve --db "$db" --listen "0.0.0.0:$port" --token-file "$(winpath "$work/report.jsonl")"
expect "velmora.exe serve refuses a network address ($err)" \
    eval '[ "$status" -eq 2 ] && holds "$err" "serves this machine alone"'

# Private by default. Wine keeps a file's access list as its mode, where an
# entry for the user alone comes out as 750 (the group bits are Wine's own)
# and one for everyone as the last digit: the index velmora.exe makes admits
# no one else, nor does a page rendered from a deal only its user may read;
# and nothing of a removed deal stays in the index file.
admits_no_one_else() { [[ "$(stat -c %a "$1")" == *0 ]]; }
expect "the index velmora.exe made admits no one else ($(stat -c %a "$work/index.db"))" \
    admits_no_one_else "$work/index.db"
private="$work/private/Private deal.hud"
mkdir -p "$work/private"
make_deal "$private" PV-0001 'Quentin Zabriskie'
chmod 600 "$private"
vel render "$(winpath "$private")"
expect "a page made from a deal of mode 600 admits no one else ($(stat -c %a "${private%.hud}.html") $err)" \
    admits_no_one_else "${private%.hud}.html"
purged=$(winpath "$work/purged.db")
vel index --db "$purged" "$(winpath "$work/private")"
expect "the private deal is indexed ($out $err)" holds "$out" "indexed: 1,"
rm "$private" "${private%.hud}.html"
vel index --db "$purged" "$(winpath "$work/private")"
expect "index reports the deal removed ($out $err)" holds "$out" "removed: 1"
expect "nothing of the removed deal stays in the index file" \
    eval '! grep -qai zabriskie "$work/purged.db"*'
chmod 644 "$work/purged.db"
vel search --db "$purged" zabriskie
expect "an index others may read is named in one warning ($err)" \
    [ "$(grep -c "purged.db can be read by other users" <<<"$err")" -eq 1 ]

# The same tree gives the same rows in both builds' indexes, paths aside.
vel index --db "$(winpath "$work/twin.db")" "$(winpath "$work/twin-windows")"
"$native/velmora" index --db "$work/twin-linux.db" "$work/twin-linux" >/dev/null 2>&1
rows() {
    "$native/velmora" search --db "$1" --json --limit 100 |
        sed -E 's/"(path|modified|modified_ns|file_id|id)":("([^"\\]|\\.)*"|[0-9]+),?//g' | sort
}
expect "the same index rows on Linux and under Wine" \
    [ "$(rows "$work/twin.db")" = "$(rows "$work/twin-linux.db")" -a -n "$(rows "$work/twin.db")" ]

echo "wine cli suite ($arch): $failures failures"
[ "$failures" -eq 0 ]
