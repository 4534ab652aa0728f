#!/usr/bin/env bash
# Installs the Debian 12 packages the builds and tests need, when missing:
# the compilers, CMake, GoogleTest, mingw-w64 for the Windows build and
# Wine to run its tests. Uses sudo when not run as root.
set -euo pipefail

packages=(cmake g++ make libgtest-dev googletest g++-mingw-w64-x86-64-posix wine64
  libsdl2-dev libstb-dev fonts-dejavu-core xvfb xauth python3 curl libedit-dev tcl jimsh ccache)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "All build and test packages are installed."
  exit 0
fi
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
start=$SECONDS
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
echo "Installed in $((SECONDS - start)) s."
