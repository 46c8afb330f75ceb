#!/usr/bin/env bash
# Installs the Debian packages the tool needs. Usage: scripts/deps.sh [run|test|package]
set -euo pipefail

# libqt5sql5-psql: Qt's PostgreSQL driver, for a lab's shared results database; libqt5svg5: draws
# the window's icon.
RUN_PACKAGES=(cmake g++ make qtbase5-dev libqt5serialport5-dev libqt5sql5 libqt5sql5-sqlite
    libqt5sql5-psql libqt5svg5 libqcustomplot-dev fonts-dseg lpc21isp)
# postgresql: the server the results database tests start in a temporary folder (its own
# cluster service, started by the package, is not used); poppler-utils: the report tests read
# the PDF back.
TEST_PACKAGES=(clang clang-format libclang-rt-14-dev ccache socat xvfb x11-apps x11-utils imagemagick xdotool
    procps libbenchmark-dev postgresql poppler-utils)
# Building and checking the Debian package: desktop-file-validate; readelf (binutils) for the
# libraries the programs link; man and lintian for the manual pages.
PACKAGE_PACKAGES=(desktop-file-utils binutils man-db lintian)

wanted=("${RUN_PACKAGES[@]}")
case "${1:-run}" in
test) wanted+=("${TEST_PACKAGES[@]}") ;;
package) wanted+=("${PACKAGE_PACKAGES[@]}") ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

SUDO=""
if [[ $(id -u) -ne 0 ]]; then
    SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
