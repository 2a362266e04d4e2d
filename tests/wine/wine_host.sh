# Sourced by the Wine tests and by scripts/install-deps: the Wine programs to
# call, and whether this host runs 32-bit programs at all.
#
# Debian's wine, wineboot and msiexec wrappers start the 32-bit loader
# whenever wine32:i386 is installed, even on a kernel that cannot run it. So
# every 64-bit call goes through the 64-bit loader named here, which hands
# 32-bit programs to the 32-bit loader only where the host can run them.
#
# Sets:
#   wine64, wine32     the 64-bit and the 32-bit loader (wine32 may not exist)
#   wineserver         the server of the 64-bit loader
#   host_32bit         runs: the 32-bit loader started and answered;
#                      cannot-run: it is installed but the host cannot start
#                      it (a skip); not-installed: a missing package (a failure)
#   host_32bit_reason  why not, unless it runs
#
# VELMORA_WINE32_LOADER points the probe at another 32-bit loader, so that
# a host of either kind can show how the tests behave on the other.

wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
wine32=${VELMORA_WINE32_LOADER:-/usr/lib/wine/wine}
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)

# probe_32bit_host: starts the 32-bit loader and sees it answer. A loader
# that is not installed is not the host's inability but a missing package.
probe_32bit_host() {
    if [ ! -e "$wine32" ]; then
        host_32bit=not-installed
        host_32bit_reason="the 32-bit Wine loader $wine32 is not installed (wine32:i386, scripts/install-deps)"
        return
    fi
    local answer status=0
    # Through bash's exec, which names the kernel's refusal; "|| status" keeps
    # a caller's set -e from ending it.
    answer=$(timeout 60 bash -c 'exec "$0" --version' "$wine32" 2>&1) || status=$?
    if [ "$status" -eq 0 ] && [[ "$answer" == wine-* ]]; then
        host_32bit=runs
        host_32bit_reason=
        return
    fi
    host_32bit=cannot-run
    answer=${answer%%$'\n'*}
    answer=${answer##*"$wine32": }
    host_32bit_reason="this host runs no 32-bit programs ($wine32 --version: ${answer:-exit $status})"
}

# host_32bit_line: the line the tests print first.
host_32bit_line() {
    if [ "$host_32bit" = runs ]; then
        echo "wine host: runs 32-bit programs ($wine32 answered)"
    else
        echo "wine host: $host_32bit_reason"
    fi
}

probe_32bit_host
