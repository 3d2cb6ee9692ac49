#!/usr/bin/env bash
# Builds the Debian package and proves that it installs and runs on a clean
# Debian 12: a minimal bookworm tree made by debootstrap gets the package through
# apt-get, so every dependency comes from the archive and a missing one shows;
# then, as a normal user and as root, the simulator answers a measurement, the
# database lands in the user's data folder, a test report is printed to PDF and
# the program window starts headless and keeps running.
#
# Usage (as root, takes a few minutes, needs the Debian archive):
#   scripts/check-package.sh [--fresh]
#     --fresh       debootstrap the base tree again
#   CHROOT_DIR      where the trees live (default /work/chroot-test)
#   MIRROR          Debian archive (default: the one this machine's apt uses)
#   RECOMMENDS=1    install the package with its dependencies' recommendations,
#                   as a plain "apt-get install" does; by default they are left
#                   out, so that the package's own dependencies must suffice
#
# The base tree ($CHROOT_DIR/base) is made once and kept; every run copies it
# to $CHROOT_DIR/root and installs there, so each run starts from a clean
# system. /proc is mounted inside a private mount namespace, so no mount
# outlives the run, whatever happens to it.
set -euo pipefail

REPO="$(cd "$(dirname "$0")/.." && pwd)"
CHROOT_DIR="${CHROOT_DIR:-/work/chroot-test}"
BASE="$CHROOT_DIR/base"
ROOT="$CHROOT_DIR/root"
OUT="$CHROOT_DIR/out"
SUITE=bookworm
FRESH=0
for arg in "$@"; do
    case "$arg" in
    --fresh) FRESH=1 ;;
    *) echo "usage: $0 [--fresh]" >&2; exit 2 ;;
    esac
done

step() { printf '\n=== %s\n' "$*"; }
die() { echo "check-package: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || die "run as root (debootstrap and chroot need it)"
case "$CHROOT_DIR" in "$REPO"|"$REPO"/*) die "CHROOT_DIR must lie outside the work tree" ;; esac

# A tree must never be removed while something is mounted inside it.
no_mounts_under() {
    if findmnt -rn -o TARGET | grep -q "^$1\(/\|$\)"; then
        die "something is mounted under $1; unmount it first"
    fi
}

# The archive this machine's apt uses (deb822 .sources first, then one-line lists).
host_mirror() {
    local want="$1" m
    m=$(grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{print $2}' \
        | grep -E "/${want}/?\$" | head -n1 || true)
    if [ -z "$m" ]; then
        m=$(grep -hs '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
            | sed -E 's/\[[^]]*\] *//' | awk '{print $2}' | grep -E "/${want}/?\$" \
            | head -n1 || true)
    fi
    echo "${m%/}"
}
MIRROR="${MIRROR:-$(host_mirror debian)}"
MIRROR="${MIRROR:-http://deb.debian.org/debian}"
SECURITY_MIRROR="$(host_mirror debian-security)"
SECURITY_MIRROR="${SECURITY_MIRROR:-${MIRROR%/debian}/debian-security}"

step "1. Building the programs and the package"
cd "$REPO"
[ -f build/CMakeCache.txt ] || flock "$REPO/.build.lock" cmake -S . -B build \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd build
flock "$REPO/.build.lock" cmake --build . -j2 --target zandor zandorctl netpc-sim package-docs
rm -f zandor_*_amd64.deb
flock "$REPO/.build.lock" cpack
DEB="$(ls zandor_*_amd64.deb)"
DEB_PATH="$REPO/build/$DEB"
dpkg-deb --info "$DEB_PATH" | sed -n '/Package:/,$p'
dpkg-deb --contents "$DEB_PATH" | awk '{print $3, $6}'
echo "package size: $(stat -c %s "$DEB_PATH") bytes"

step "2. A clean Debian 12 tree with the package installed ($MIRROR)"
mkdir -p "$CHROOT_DIR"
no_mounts_under "$CHROOT_DIR"
if [ "$FRESH" -eq 1 ] || [ ! -x "$BASE/usr/bin/apt-get" ]; then
    command -v debootstrap > /dev/null || { apt-get update -qq && apt-get install -y -qq debootstrap; }
    rm -rf "$BASE"
    debootstrap --variant=minbase "$SUITE" "$BASE" "$MIRROR" > "$CHROOT_DIR/debootstrap.log" 2>&1 \
        || { tail -n 30 "$CHROOT_DIR/debootstrap.log"; die "debootstrap failed"; }
    cat > "$BASE/etc/apt/sources.list" << EOF
deb $MIRROR $SUITE main
deb $MIRROR $SUITE-updates main
deb $SECURITY_MIRROR $SUITE-security main
EOF
    # Nothing installed into the tree may start a service on this machine.
    printf '#!/bin/sh\nexit 101\n' > "$BASE/usr/sbin/policy-rc.d"
    chmod 755 "$BASE/usr/sbin/policy-rc.d"
fi
rm -rf "$ROOT" "$OUT"
cp -a "$BASE" "$ROOT"
mkdir -p "$OUT"
cp -L /etc/resolv.conf "$ROOT/etc/resolv.conf"
cp "$DEB_PATH" "$ROOT/tmp/"

# Runs a command in the tree with its own /proc, which goes when the command ends.
in_tree() {
    unshare --mount --pid --fork --mount-proc="$ROOT/proc" chroot "$ROOT" "$@"
}
# The same without network, with its own loopback, so the simulator's port can
# never meet another one listening on this machine.
in_tree_offline() {
    # shellcheck disable=SC2016 # expanded by the inner shell, from its arguments
    unshare --net --mount --pid --fork --mount-proc="$ROOT/proc" \
        sh -c 'ip link set lo up && exec chroot "$0" "$@"' "$ROOT" "$@"
}

APT_OPTS="-y -q"
[ "${RECOMMENDS:-0}" = 1 ] || APT_OPTS="$APT_OPTS --no-install-recommends"
in_tree env DEBIAN_FRONTEND=noninteractive sh -c \
    "apt-get update -q && apt-get install $APT_OPTS /tmp/$DEB" > "$OUT/apt-install.log" 2>&1 \
    || { tail -n 40 "$OUT/apt-install.log"; die "the package did not install"; }
grep -E '^(The following NEW packages|Setting up zandor)' "$OUT/apt-install.log" || true
echo "packages in the tree: $(in_tree dpkg-query -W | wc -l)"
in_tree useradd --create-home --shell /bin/bash lab

step "3. Running the installed programs as a normal user and as root"
# The checks run inside the tree under a login shell, so PATH and HOME are the
# ones a user of that system gets.
cat > "$ROOT/tmp/check-inside.sh" << 'EOF'
#!/bin/bash
set -u
failures=0
fail() { echo "FAIL ($(id -un)): $*"; failures=$((failures + 1)); }
ok() { echo "ok   ($(id -un)): $*"; }

for p in zandor zandorctl netpc-sim; do
    if where=$(command -v "$p"); then ok "$p on PATH: $where"; else fail "$p not on PATH ($PATH)"; fi
    page=/usr/share/man/man1/$p.1.gz
    if [ -s "$page" ]; then ok "manual page $page"; else fail "no manual page $page"; fi
done

netpc-sim --port 8100 --speed 50 > /tmp/sim-$(id -un).log 2>&1 &
sim=$!
trap 'kill $sim 2> /dev/null' EXIT
for _ in $(seq 50); do (exec 3<> /dev/tcp/127.0.0.1/8100) 2> /dev/null && break; sleep 0.1; done

if zandorctl measure --netpc 127.0.0.1:8100 --scope 2.5 --name Demo --save Demo 2> /tmp/measure.err; then
    ok "measure"
else
    fail "measure: $(tail -n 3 /tmp/measure.err)"
fi
zandorctl list | tee /tmp/list.txt || fail "list"
db="$HOME/.local/share/zandor/zandor/kovra.mdb"
if [ -s "$db" ]; then ok "database in the user's data folder: $db"; else fail "no database at $db"; fi
stray=$(ls /usr/bin/*.mdb /usr/bin/*.bak 2> /dev/null)
if [ -z "$stray" ]; then ok "nothing written beside the programs"; else fail "written beside the programs: $stray"; fi

key=$(awk '/^records/ { r = 1; next } r && $3 == "graph" && $4 == "Demo" { print $1; exit }' /tmp/list.txt)
pdf=/tmp/r-$(id -un).pdf
if [ -n "$key" ] && zandorctl report --scope 2.5 --key "$key" -o "$pdf" \
    && [ "$(head -c 5 "$pdf")" = "%PDF-" ]; then
    ok "report of key $key: $pdf, $(stat -c %s "$pdf") bytes"
else
    fail "report of key '${key}'"
fi

QT_QPA_PLATFORM=offscreen timeout 8 zandor 1 > /tmp/gui-$(id -un).log 2>&1
rc=$?
if [ $rc -eq 124 ]; then ok "zandor ran until the timeout"; else fail "zandor ended with status $rc"; fi
if [ -s /tmp/gui-$(id -un).log ]; then
    echo "zandor said:"; sed 's/^/    /' /tmp/gui-$(id -un).log
    grep -qiE 'could not (load|find)|cannot (load|find)|no such file|not found|undefined symbol' \
        /tmp/gui-$(id -un).log && fail "zandor reports a missing library, plugin or font"
fi
exit $((failures > 0))
EOF
chmod 755 "$ROOT/tmp/check-inside.sh"

failed=0
for user in lab root; do
    echo "--- as $user"
    in_tree_offline runuser --login "$user" --command /tmp/check-inside.sh || failed=1
done
cp "$ROOT"/tmp/r-*.pdf "$ROOT"/tmp/gui-*.log "$OUT/" 2> /dev/null || true
if command -v pdffonts > /dev/null; then
    for pdf in "$OUT"/r-*.pdf; do echo "fonts in $(basename "$pdf"):"; pdffonts "$pdf"; done
fi

step "4. Removing the package again"
in_tree env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q zandor > "$OUT/apt-purge.log" 2>&1 \
    || { tail -n 20 "$OUT/apt-purge.log"; die "the package did not remove"; }
left=""
for f in "$ROOT"/usr/bin/zandor* "$ROOT"/usr/bin/netpc-sim "$ROOT"/usr/bin/*.mdb "$ROOT"/usr/bin/*.bak \
    "$ROOT"/usr/share/applications/zandor.desktop "$ROOT"/usr/share/icons/hicolor/scalable/apps/zandor.svg \
    "$ROOT"/usr/share/man/man1/zandor*.1.gz "$ROOT"/usr/share/man/man1/netpc-sim.1.gz "$ROOT"/usr/share/doc/zandor; do
    if [ -e "$f" ]; then left="${left:+$left }${f#"$ROOT"/}"; fi
done
if [ -z "$left" ]; then echo "ok: purge left nothing behind"; else echo "FAIL: left after purge: $left"; failed=1; fi

no_mounts_under "$CHROOT_DIR"
echo
if [ "$failed" -eq 0 ]; then
    echo "check-package: $DEB installs and runs on a clean Debian 12"
else
    die "$DEB failed some checks (see above; logs and reports in $OUT)"
fi
