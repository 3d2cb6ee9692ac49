#!/bin/sh
# Installs the Debian packages the build, the tests and the screenshots need,
# running apt-get update only when something is missing.
set -e
PACKAGES="cmake g++ make qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev \
xvfb xauth imagemagick poppler-utils fonts-liberation \
dpkg-dev help2man lintian xdotool xclip pkg-config mdbtools-dev libsqlite3-dev sqlite3"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
