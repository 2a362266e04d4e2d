#!/usr/bin/env bash
# Runs the browser tests of `velmora serve` against the velmora given, with
# the legacy deal writer when it is built. Exits 77 (CTest: skipped) with
# the reason when what they need is not installed (scripts/install-deps
# installs it all): Node.js, the pinned playwright-core, Chromium, poppler.
#
#   run-browser-tests.sh VELMORA [MAKE_LEGACY_DEAL]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

skip() {
    echo "ServeBrowser skipped: $*; scripts/install-deps installs it"
    exit 77
}

if [ $# -lt 1 ] || [ ! -x "$1" ]; then
    echo "usage: $0 VELMORA [MAKE_LEGACY_DEAL]" >&2
    exit 2
fi

command -v node >/dev/null || skip "Node.js is not installed"
node_major=$(node -p 'process.versions.node.split(".")[0]')
[ "$node_major" -ge 20 ] || skip "Node.js $(node --version) is older than 20"
[ -f "$here/node_modules/playwright-core/package.json" ] ||
    skip "playwright-core is not installed in tests/browser/node_modules"
chromium=${VELMORA_CHROMIUM:-/usr/bin/chromium}
[ -x "$chromium" ] || skip "no Chromium at $chromium"
command -v pdfinfo >/dev/null && command -v pdftotext >/dev/null ||
    skip "poppler-utils (pdfinfo, pdftotext) is not installed"

# The tests run in their own folder: the paths must not depend on ours.
VELMORA=$(realpath "$1")
VELMORA_MAKE_LEGACY_DEAL=$(realpath -m "${2:-/nonexistent}")
export VELMORA VELMORA_MAKE_LEGACY_DEAL
export VELMORA_CHROMIUM=$chromium
cd "$here"
# One file at a time: each starts its own server and browser, and the
# machine may have two cores. The timeout bounds a test file that hangs,
# with room for a machine busy with other tests (a file takes 25 s alone).
exec node --test --test-concurrency=1 --test-timeout=300000 \
    search_page.test.mjs login.test.mjs audit_trail.test.mjs
