#!/bin/sh
# Builds the Debian package (the three programs and their documents only) and
# lets Debian's own checker judge it: any error or warning from lintian fails.
# The package must also carry a manual page for every program.
set -e
cd "$(dirname "$0")/.."
./scripts/setup.sh
[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j2 --target zandor zandorctl netpc-sim package-docs
cd build
rm -f zandor_*_amd64.deb
cpack > cpack.log 2>&1 || { cat cpack.log; exit 1; }
deb="$(ls zandor_*_amd64.deb)"
contents="$(dpkg-deb --contents "$deb")"
for program in zandor zandorctl netpc-sim; do
    echo "$contents" | grep " \./usr/share/man/man1/$program\.1\.gz$" > /dev/null \
        || { echo "lint-package: $deb has no manual page for $program" >&2; exit 1; }
done
status=0
lintian --fail-on error,warning --display-info "$deb" > lintian.log 2>&1 || status=$?
echo "lintian $deb:"
grep -v '^running with root privileges' lintian.log || true
[ "$status" -eq 0 ] || echo "lint-package: lintian finds errors or warnings in $deb" >&2
exit "$status"
