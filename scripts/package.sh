#!/usr/bin/env bash
# Builds the release program and makes the packages that a user installs,
# in build/packages/:
#
#   scripts/package.sh [linux] [windows]
#
# makes both kinds when neither is named.
#
#   linux
#       quadrixel_<version>_<arch>.deb and quadrixel-<version>-Linux-<arch>.tar.gz
#       from the release build (build/release). Where dpkg is missing (not
#       Debian), only the tarball.
#   windows
#       quadrixel-<version>-win64.zip from a MinGW-w64 cross build in
#       build/package-windows, made with the toolchain file
#       cmake/toolchains/windows.cmake ($WINDOWS_TOOLCHAIN overrides).
#
# The version is the one of the project() line in CMakeLists.txt. The date
# of the packaged changelog is the time of the last commit, so that the same
# commit makes the same changelog.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out="$root/build/packages"

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(linux windows)
for target in "${targets[@]}"; do
  case $target in
    linux | windows) ;;
    *) echo "package.sh: unknown package kind '$target' (linux, windows)" >&2; exit 2 ;;
  esac
done

if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git rev-parse --git-dir >/dev/null 2>&1; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
  export SOURCE_DATE_EPOCH
fi

# make_packages BUILD_DIR [GENERATOR]: runs cpack on the configured build
# in BUILD_DIR, for its default generators or GENERATOR alone.
make_packages() {
  local build=$1 generator=${2:-}
  mkdir -p "$out"
  cpack --config "$build/CPackConfig.cmake" -B "$out" ${generator:+-G "$generator"}
  rm -rf "$out/_CPack_Packages"
}

for target in "${targets[@]}"; do
  case $target in
    linux)
      if command -v dpkg >/dev/null; then
        scripts/install-deps.sh packages
      else
        scripts/install-deps.sh build
        echo "package.sh: no dpkg here (not Debian): making the tarball only" >&2
      fi
      # A release build that is there keeps its settings, so that the one
      # scripts/test.sh makes is not built again with others.
      if [ -f build/release/CMakeCache.txt ]; then
        cmake build/release >/dev/null
      else
        cmake --preset release >/dev/null
      fi
      cmake --build --preset release --target quadrixel
      rm -f "$out"/quadrixel_*.deb "$out"/quadrixel-*-Linux-*.tar.gz
      if command -v dpkg >/dev/null; then
        make_packages build/release
      else
        make_packages build/release TGZ
      fi
      ;;
    windows)
      toolchain=${WINDOWS_TOOLCHAIN:-$root/cmake/toolchains/windows.cmake}
      if [ ! -f "$toolchain" ]; then
        echo "package.sh: no toolchain file $toolchain for the Windows build" >&2
        exit 1
      fi
      scripts/install-deps.sh mingw
      cmake -S . -B build/package-windows -G Ninja --toolchain "$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DQUADRIXEL_TESTS=OFF >/dev/null
      cmake --build build/package-windows --target quadrixel
      rm -f "$out"/quadrixel-*-win*.zip
      make_packages build/package-windows
      ;;
  esac
done
ls -l "$out"
