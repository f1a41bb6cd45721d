#!/usr/bin/env bash
# Tests the packages as a user gets them. Makes them (scripts/package.sh),
# then:
#   - checks the .deb with lintian, where no error or warning may remain;
#   - installs the .deb with dpkg, runs /usr/bin/quadrixel on the sample data
#     file that the package installs, once beside it and once named on its
#     command line, and compares its output byte for byte with the
#     transcript of that run, checks that --version names the package's
#     version, has man find the manual page, removes the package and checks
#     that none of its files is left;
#   - unpacks the tarball into a temporary prefix, runs the same checks
#     from there and checks its manual page with mandoc -T lint.
# The .deb is removed again however the script ends. Without dpkg and
# apt-get (not Debian), or without root or sudo, the .deb part is skipped
# and said so.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
transcript="$root/tests/app/transcripts/sample-file-3x3"

work=$(mktemp -d)
passed=0
failed=0
skipped=0
sudo=""
installed=no
finish() {
  if [ $installed = yes ]; then
    echo "removing the package that the test installed"
    dpkg_retry -r quadrixel || true
  fi
  rm -rf "$work"
  echo "packages: $passed passed, $failed failed, $skipped skipped"
}
trap finish EXIT
trap "exit 1" INT TERM HUP

# check WHAT COMMAND...: runs one check; the first failing one ends the test.
check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAILED: $what" >&2
    exit 1
  fi
}

# skip WHAT WHY: counts a check that cannot run here.
skip() {
  skipped=$((skipped + 1))
  echo "skipped: $1 ($2)"
}

# runs_on_sample PROGRAM DOCDIR: runs PROGRAM in a fresh directory holding
# the sample data file from DOCDIR, on the transcript's input, and compares
# its output and exit status with the transcript's.
runs_on_sample() {
  local program=$1 docdir=$2 dir
  dir=$(mktemp -d -p "$work") &&
    cp "$docdir/MatrixDataFile2.txt" "$dir/" &&
    (cd "$dir" && "$program" <"$transcript/input" >"$dir/output") &&
    cmp "$dir/output" "$transcript/expected"
}

# runs_on_named PROGRAM DOCDIR: runs PROGRAM in an empty directory with the
# sample data file from DOCDIR named on its command line, on the
# transcript's input, and compares its output and exit status with the
# transcript's.
runs_on_named() {
  local program=$1 docdir=$2 dir
  dir=$(mktemp -d -p "$work") &&
    (cd "$dir" && "$program" "$docdir/MatrixDataFile2.txt" <"$transcript/input" >"$dir/output") &&
    cmp "$dir/output" "$transcript/expected"
}

# tells_version PROGRAM: PROGRAM --version prints "quadrixel VERSION", the
# version of the packages.
tells_version() {
  local told
  told=$("$1" --version) || return 1
  [ "$told" = "quadrixel $version" ] || { echo "$1 --version: '$told'" >&2; return 1; }
}

# finds_manual PATH [MANPATH]: man -w finds the manual page at PATH.
finds_manual() {
  local found
  if [ $# -gt 1 ]; then found=$(MANPATH=$2 man -w quadrixel); else found=$(man -w quadrixel); fi
  [ "$found" = "$1" ] || { echo "man -w quadrixel: '$found', not $1" >&2; return 1; }
}

# lint_clean COMMAND...: COMMAND succeeds and prints nothing.
lint_clean() {
  local report status=0
  report=$("$@" 2>&1) || status=$?
  [ $status = 0 ] && [ -z "$report" ] && return 0
  printf '%s\n' "$report" >&2
  return 1
}

# dpkg_retry ARGS...: dpkg with ARGS, waiting while another dpkg or apt holds
# the lock (up to two minutes).
dpkg_retry() {
  local log="$work/dpkg.log"
  for _ in $(seq 60); do
    if $sudo dpkg "$@" >"$log" 2>&1; then return 0; fi
    grep -q 'lock' "$log" || break
    sleep 2
  done
  cat "$log" >&2
  return 1
}

# nothing_left LIST: no file or package directory of the list is left.
nothing_left() {
  local path left=0
  while IFS= read -r path; do
    if [ -d "$path" ] && [[ $path != *quadrixel* ]]; then continue; fi
    if [ -e "$path" ] || [ -L "$path" ]; then
      echo "left behind: $path" >&2
      left=1
    fi
  done <"$1"
  [ $left = 0 ]
}

deb_part=yes
if ! command -v dpkg >/dev/null || ! command -v apt-get >/dev/null; then
  deb_part="no dpkg or apt-get here: not Debian"
elif [ "$(id -u)" -ne 0 ]; then
  if sudo -n true 2>/dev/null; then sudo=sudo; else deb_part="installing needs root or sudo"; fi
fi

if [ "$deb_part" = yes ]; then
  scripts/install-deps.sh packages
else
  scripts/install-deps.sh build
fi
scripts/package.sh linux
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
deb=$(echo build/packages/quadrixel_"$version"_*.deb)
tarball=$(echo build/packages/quadrixel-"$version"-Linux-*.tar.gz)

if [ "$deb_part" = yes ]; then
  # Lintian's notes that are only information (I:) are not shown.
  check "lintian finds no error or warning" lintian --fail-on error,warning "$deb"
  if dpkg-query -W -f='${Status}\n' quadrixel 2>/dev/null | grep -q 'ok installed'; then
    echo "quadrixel is installed already: the test replaces it and removes it afterwards"
  fi
  installed=yes
  check "dpkg installs $(basename "$deb")" dpkg_retry -i "$deb"
  dpkg -L quadrixel >"$work/files"
  check "/usr/bin/quadrixel on the installed sample data file prints the transcript" \
    runs_on_sample /usr/bin/quadrixel /usr/share/doc/quadrixel
  check "/usr/bin/quadrixel reads the sample data file named on its command line" \
    runs_on_named /usr/bin/quadrixel /usr/share/doc/quadrixel
  check "/usr/bin/quadrixel --version names version $version" tells_version /usr/bin/quadrixel
  # Some trimmed systems have dpkg leave every manual page out.
  if grep -qsE '^path-exclude[= ]+/usr/share/man' /etc/dpkg/dpkg.cfg.d/*; then
    skip "man -w on the installed page" "dpkg here installs no manual page"
  else
    check "man -w finds the installed manual page" \
      finds_manual /usr/share/man/man1/quadrixel.1.gz
  fi
  check "dpkg removes the package" dpkg_retry -r quadrixel
  installed=no
  check "nothing of the package is left in /usr" nothing_left "$work/files"
else
  skip "the .deb" "$deb_part"
fi

prefix="$work/prefix"
mkdir -p "$prefix"
tar -xzf "$tarball" -C "$prefix" --strip-components=1
check "bin/quadrixel from the tarball on its sample data file prints the transcript" \
  runs_on_sample "$prefix/bin/quadrixel" "$prefix/share/doc/quadrixel"
check "bin/quadrixel from the tarball reads the sample data file named on its command line" \
  runs_on_named "$prefix/bin/quadrixel" "$prefix/share/doc/quadrixel"
check "bin/quadrixel from the tarball: --version names version $version" \
  tells_version "$prefix/bin/quadrixel"
if command -v mandoc >/dev/null; then
  check "the manual page passes mandoc -T lint" \
    lint_clean mandoc -T lint "$prefix/share/man/man1/quadrixel.1.gz"
else
  skip "mandoc -T lint" "no mandoc here"
fi
if command -v man >/dev/null; then
  check "man -w finds the manual page of the tarball" \
    finds_manual "$prefix/share/man/man1/quadrixel.1.gz" "$prefix/share/man"
else
  skip "the tarball's manual page" "no man here"
fi
