#!/bin/sh
# Installs the Debian packages the build, the tests and the program need,
# and those named as arguments, asking apt only when one of them is missing.
set -eu

PACKAGES="
build-essential
cmake
pkg-config
qtbase5-dev
libqcustomplot-dev
libboost-filesystem-dev
libboost-system-dev
libopenblas-dev
libgomp1
libgtest-dev
libgmock-dev
libbenchmark-dev
colord-data
x11-common
fonts-dejavu-core
qtbase5-doc-html
libqcustomplot-doc
poppler-utils
libaravis-dev
libusb-1.0-0-dev
iproute2
"

# Targets that need more (make fuzz) name their packages as arguments.
missing=""
for package in $PACKAGES "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $package" ;;
    esac
done

[ -z "$missing" ] && exit 0

echo "Installing missing packages:$missing"
as_root=""
if [ "$(id -u)" -ne 0 ]; then
    as_root="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$as_root apt-get update
# shellcheck disable=SC2086
$as_root apt-get install -y --no-install-recommends $missing
