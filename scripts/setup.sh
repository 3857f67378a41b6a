#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when missing.
set -euo pipefail

packages=(cmake ninja-build g++ clang pkg-config binutils
          zlib1g-dev libpng-dev libjpeg62-turbo-dev libtiff-dev libgif-dev libtiff-doc libopencv-imgproc-dev libgtest-dev libgmock-dev libbenchmark-dev
          python3 python3-pil)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Real pictures from Debian packages for the codec tests, taken out of the packages
# without installing them (their other contents are not needed).
fetch_sample() {  # package, path inside it, name to keep
  local out=".cache/debian-samples/$3"
  [ -f "$out" ] && return 0
  mkdir -p .cache/debian-samples
  local tmp
  tmp=$(mktemp -d)
  if (cd "$tmp" && apt-get download "$1" >/dev/null 2>&1 && dpkg-deb -x "$1"_*.deb x); then
    cp "$tmp/x/$2" "$out"
  else
    echo "could not fetch $1 for the codec tests" >&2
  fi
  rm -rf "$tmp"
}
fetch_sample python3-skimage usr/lib/python3/dist-packages/skimage/data/multipage.tif multipage.tif
fetch_sample fp-compiler-3.2.2 usr/share/doc/fp-compiler/3.2.2/palmos/pilrc.bmp pilrc.bmp
