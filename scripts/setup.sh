#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need (root, or through sudo).
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libturbojpeg0-dev libgtest-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho xvfb xauth)
# Qt's own dialog texts (qtbase_ja, qtbase_en); lupdate and lrelease for the windows' translations
# (translations/), with CMake's Qt6LinguistTools.
packages+=(qt6-translations-l10n qt6-l10n-tools qt6-tools-dev qt6-tools-dev-tools)
# libjpeg's API decodes JPEG a strip at a time; djpeg (libjpeg-turbo-progs) is the tests' reference decoder.
packages+=(libjpeg62-turbo-dev libjpeg-turbo-progs)
# FFTW scores every offset of the alignment's coarsest level at once (join/correlation_map.cpp).
packages+=(libfftw3-dev)
# Qt's own dialog texts in Japanese, and what the package check validates and packages the installed
# files with.
packages+=(qt6-translations-l10n desktop-file-utils appstream man-db dpkg-dev)
# Screenshots of the real windows (docs, the view's look at each scale): a window manager, a driver
# for the windows and ImageMagick's import.
packages+=(openbox xdotool imagemagick x11-utils)
# clang with its libFuzzer and sanitizer runtimes builds the fuzz targets (scripts/fuzz.sh).
packages+=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
