#!/usr/bin/env bash
# Makes sure that the tools a command of the project needs are here, and
# installs the missing ones from Debian's packages where apt-get exists.
#
#   scripts/install-deps.sh NEED...
#
# NEED is one or more of:
#   build           CMake, Ninja and a C++20 compiler: enough to build and run
#   test            build, plus the ThreadSanitizer runtime, GoogleTest,
#                   Clang, clang-format and PARI/GP
#   fuzz            Clang with its libFuzzer runtime
#   bench           Google Benchmark
#   packages        what building and checking the packages takes
#   mingw           the MinGW-w64 cross compiler, for the Windows package
#   cross-aarch64, cross-armhf, cross-i686, cross-riscv64, cross-s390x,
#   cross-windows   a cross compiler and the emulator that runs its programs
#   fresh-root      mmdebstrap, which makes a fresh Debian root file system
#
# Every tool is looked for itself, so nothing is installed that is already
# there by any means. Without apt-get the script names what is missing and
# fails; when everything is there it goes on, on any system. Installing
# needs root, or sudo.
set -euo pipefail

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The C++ compiler to check: $CXX, else the first of c++, g++ and clang++.
cxx=${CXX:-}
if [ -z "$cxx" ]; then
  for candidate in c++ g++ clang++; do
    if command -v "$candidate" >/dev/null; then cxx=$candidate; break; fi
  done
fi

# True when the C++ program on standard input compiles and links with
# compiler $1 and the flags after it.
links() {
  local compiler=$1
  shift
  command -v "$compiler" >/dev/null &&
    "$compiler" "$@" -x c++ - -o "$work/a.out" >/dev/null 2>&1
}

# True when the C++ source on standard input passes the preprocessor of the
# C++ compiler.
preprocesses() {
  [ -n "$cxx" ] && "$cxx" -std=c++20 -E -x c++ - -o /dev/null >/dev/null 2>&1
}

# check NAME: true when requirement NAME is met.
check() {
  case $1 in
    cmake) command -v cmake >/dev/null ;;
    ninja) command -v ninja >/dev/null || command -v ninja-build >/dev/null ;;
    cxx20)
      [ -n "$cxx" ] && links "$cxx" -std=c++20 <<'EOF'
#include <version>
#if __cplusplus < 202002L
#error "not C++20"
#endif
int main() {}
EOF
      ;;
    gtest)
      preprocesses <<'EOF'
#include <gmock/gmock.h>
#include <gtest/gtest.h>
EOF
      ;;
    tsan)
      [ -n "$cxx" ] && links "$cxx" -std=c++20 -fsanitize=thread -pthread <<'EOF'
#include <thread>
int main() { std::thread([] {}).join(); }
EOF
      ;;
    clang) command -v clang++ >/dev/null ;;
    clang-format) command -v clang-format >/dev/null ;;
    gp) command -v gp >/dev/null ;;
    libfuzzer)
      links clang++ -fsanitize=fuzzer,address,undefined <<'EOF'
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }
EOF
      ;;
    benchmark)
      preprocesses <<'EOF'
#include <benchmark/benchmark.h>
EOF
      ;;
    lintian) command -v lintian >/dev/null ;;
    mandoc) command -v mandoc >/dev/null ;;
    dpkg-shlibdeps) command -v dpkg-shlibdeps >/dev/null ;;
    man) command -v man >/dev/null ;;
    aarch64-g++) command -v aarch64-linux-gnu-g++ >/dev/null ;;
    armhf-g++) command -v arm-linux-gnueabihf-g++ >/dev/null ;;
    i686-g++) command -v i686-linux-gnu-g++ >/dev/null ;;
    riscv64-g++) command -v riscv64-linux-gnu-g++ >/dev/null ;;
    s390x-g++) command -v s390x-linux-gnu-g++ >/dev/null ;;
    mingw-g++) command -v x86_64-w64-mingw32-g++-posix >/dev/null ;;
    qemu-aarch64 | qemu-arm | qemu-i386 | qemu-riscv64 | qemu-s390x) command -v "$1" >/dev/null ;;
    mmdebstrap) command -v mmdebstrap >/dev/null ;;
    wine) command -v wine >/dev/null && { command -v wine64 >/dev/null ||
                                          [ -x /usr/lib/wine/wine64 ]; } ;;
    *) echo "install-deps.sh: unknown requirement $1" >&2; return 1 ;;
  esac
}

# debian NAME: the Debian packages that meet requirement NAME.
debian() {
  case $1 in
    ninja) echo ninja-build ;;
    cxx20) echo g++ ;;
    gtest) echo libgtest-dev libgmock-dev ;;
    tsan) echo libtsan2 ;;
    clang) echo clang ;;
    gp) echo pari-gp ;;
    libfuzzer)
      # The runtime that belongs to the Clang that will be used: that of the
      # clang++ already here, else the unversioned package that goes with
      # the default clang, which is installed beside it.
      local major
      major=$(clang++ -dumpversion 2>/dev/null | cut -d. -f1)
      if [ -n "$major" ]; then echo "libclang-rt-$major-dev"; else echo libclang-rt-dev; fi ;;
    benchmark) echo libbenchmark-dev ;;
    dpkg-shlibdeps) echo dpkg-dev ;;
    man) echo man-db ;;
    aarch64-g++) echo g++-aarch64-linux-gnu ;;
    armhf-g++) echo g++-arm-linux-gnueabihf ;;
    i686-g++) echo g++-i686-linux-gnu ;;
    riscv64-g++) echo g++-riscv64-linux-gnu ;;
    s390x-g++) echo g++-s390x-linux-gnu ;;
    mingw-g++) echo g++-mingw-w64-x86-64-posix ;;
    qemu-*) echo qemu-user ;;
    wine) echo wine wine64 ;;
    *) echo "$1" ;;
  esac
}

# describe NAME: what to look for on a system without apt-get.
describe() {
  case $1 in
    cxx20) echo "a C++20 compiler (GCC 10 or Clang 12 or later)" ;;
    gtest) echo "GoogleTest with GoogleMock" ;;
    gp) echo "PARI/GP (the gp calculator)" ;;
    tsan) echo "the compiler's ThreadSanitizer runtime" ;;
    libfuzzer) echo "Clang's libFuzzer and sanitizer runtime" ;;
    benchmark) echo "Google Benchmark" ;;
    dpkg-shlibdeps) echo "dpkg-shlibdeps (Debian's dpkg-dev)" ;;
    *-g++) echo "the cross compiler $(debian "$1")" ;;
    *) echo "$1" ;;
  esac
}

requirements=()
for need in "$@"; do
  case $need in
    build) requirements+=(cmake ninja cxx20) ;;
    test) requirements+=(cmake ninja cxx20 tsan gtest clang clang-format gp) ;;
    fuzz) requirements+=(cmake ninja clang libfuzzer) ;;
    bench) requirements+=(cmake ninja cxx20 benchmark) ;;
    packages) requirements+=(cmake ninja cxx20 lintian mandoc dpkg-shlibdeps man) ;;
    cross-aarch64) requirements+=(cmake ninja aarch64-g++ qemu-aarch64) ;;
    cross-armhf) requirements+=(cmake ninja armhf-g++ qemu-arm) ;;
    cross-i686) requirements+=(cmake ninja i686-g++ qemu-i386) ;;
    cross-riscv64) requirements+=(cmake ninja riscv64-g++ qemu-riscv64) ;;
    cross-s390x) requirements+=(cmake ninja s390x-g++ qemu-s390x) ;;
    cross-windows) requirements+=(cmake ninja mingw-g++ wine) ;;
    mingw) requirements+=(cmake ninja mingw-g++) ;;
    fresh-root) requirements+=(mmdebstrap) ;;
    *) echo "install-deps.sh: unknown need '$need'" >&2; exit 2 ;;
  esac
done

# Returns the unmet requirements in $missing.
find_missing() {
  missing=()
  local requirement
  for requirement in "${requirements[@]}"; do
    check "$requirement" || missing+=("$requirement")
  done
}

find_missing
if [ ${#missing[@]} -gt 0 ] && command -v apt-get >/dev/null; then
  packages=()
  for requirement in "${missing[@]}"; do
    read -ra found <<<"$(debian "$requirement")"
    packages+=("${found[@]}")
  done
  echo "Installing: ${packages[*]}" >&2
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
    "${packages[@]}" >&2
  [ -z "${CXX:-}" ] && [ -z "$cxx" ] && cxx=g++
  find_missing
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps.sh: missing, please install:" >&2
  for requirement in "${missing[@]}"; do
    echo "  - $(describe "$requirement") (Debian: $(debian "$requirement"))" >&2
  done
  echo "The README lists the packages for other systems." >&2
  exit 1
fi
