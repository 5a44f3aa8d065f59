#!/usr/bin/env bash
# Installs the Debian packages that are missing for running the scene
# ("run") or for building and testing everything ("test").
set -euo pipefail

run_packages=(cmake g++ make pkg-config libsdl2-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri libpng-dev)
test_packages=("${run_packages[@]}" xvfb xauth googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev)

case "${1:-test}" in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
