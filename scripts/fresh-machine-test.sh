#!/usr/bin/env bash
# Checks that the README's two commands work on a fresh machine. Makes a
# fresh Debian root file system on a tmpfs (mmdebstrap, variant apt, plus
# git, as a user who cloned the project has), clones the commit under test
# (HEAD) into it and runs there, as root with a clean environment:
#   - scripts/run.sh on the input of the transcript sample-file-3x3, whose
#     standard output must be the transcript's, byte for byte;
#   - CROSS_TARGETS= FUZZ_SECONDS=5 scripts/test.sh;
#   - scripts/run.sh once more, which must rebuild nothing.
#
#   scripts/fresh-machine-test.sh
#
# FRESH_SUITE names the Debian release (default trixie; bookworm for
# Debian 12). The output of both commands goes to build/fresh-machine.log;
# its tail is shown when one fails. Without root or mmdebstrap, or when the
# root file system cannot be made (no network, say), the test is skipped and
# said so. Everything it mounts is unmounted however it ends.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
suite=${FRESH_SUITE:-trixie}
start=$SECONDS

skip() {
  echo "fresh machine: skipped ($1)"
  exit 0
}
[ "$(id -u)" -eq 0 ] || skip "making a root file system needs root"
[ ! -e /.quadrixel-fresh-root ] || skip "this is the fresh machine already"
command -v mmdebstrap >/dev/null || skip "no mmdebstrap here"

commit=$(git rev-parse HEAD)
mkdir -p build
log="$repo/build/fresh-machine.log"
: >"$log"
root=$(mktemp -d "${TMPDIR:-/tmp}/quadrixel-fresh.XXXXXX")
mounted=no
child=""

# Ends the processes whose root is the fresh one (a build or a server left
# behind), so that nothing holds its mounts.
end_root_processes() {
  local pid found
  for _ in $(seq 50); do
    found=no
    for pid in /proc/[0-9]*; do
      case $(readlink "$pid/root" 2>/dev/null) in
        "$root" | "$root"/*) kill -KILL "${pid#/proc/}" 2>/dev/null && found=yes ;;
      esac
    done
    [ $found = yes ] || return 0
    sleep 0.1
  done
}
cleanup() {
  trap '' INT TERM HUP
  if [ -n "$child" ] && kill -0 "$child" 2>/dev/null; then
    kill -TERM "$child" 2>/dev/null || true
    timeout 20 tail --pid="$child" -f /dev/null || kill -KILL "$child" 2>/dev/null || true
  fi
  if [ $mounted = yes ]; then
    end_root_processes
    umount -R "$root" 2>/dev/null || { sleep 1; end_root_processes; umount -R -l "$root"; }
  fi
  rmdir "$root"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# in_background COMMAND...: runs COMMAND and waits for it, so that a signal
# reaches the traps at once rather than when the command ends.
in_background() {
  "$@" <&0 &
  child=$!
  local status=0
  wait "$child" || status=$?
  child=""
  return $status
}
# inside COMMAND...: runs COMMAND in the clone, in the fresh root, with the
# environment of a root login and nothing of ours.
inside() {
  env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/bash \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    chroot "$root" /bin/bash -c 'cd /root/quadrixel && exec "$@"' inside "$@"
}
# failed WHAT: says what failed and shows the end of the log.
failed() {
  echo "fresh machine: FAILED: $1; the end of $log:" >&2
  tail -n 40 "$log" >&2
  exit 1
}

echo "making a fresh Debian $suite root file system in $root"
mount -t tmpfs -o size=16g,mode=755 quadrixel-fresh "$root" || skip "cannot mount a tmpfs"
mounted=yes
mount --make-private "$root"
in_background mmdebstrap --variant=apt --include=git --dpkgopt=force-unsafe-io \
  "$suite" "$root" >"$log" 2>&1 ||
  { tail -n 5 "$log"; skip "mmdebstrap could not make the root file system"; }
touch "$root/.quadrixel-fresh-root"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
git clone -q "$repo" "$root/root/quadrixel"
git -C "$root/root/quadrixel" cat-file -e "$commit^{commit}" 2>/dev/null ||
  git -C "$root/root/quadrixel" fetch -q "$repo" "$commit"
git -C "$root/root/quadrixel" checkout -q --detach "$commit"
# What a running machine has mounted; /dev holds the nodes mmdebstrap made.
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount -t devpts -o newinstance,ptmxmode=0666,mode=0620 devpts "$root/dev/pts"
mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
made=$((SECONDS - start))
echo "made the root in $made s"

since=$SECONDS
transcript="$root/root/quadrixel/tests/app/transcripts/sample-file-3x3"
echo "== fresh machine: scripts/run.sh" >>"$log"
in_background inside scripts/run.sh <"$transcript/input" >"$root/run-output" 2>>"$log" ||
  failed "scripts/run.sh ended with status $?"
diff -u "$transcript/expected" "$root/run-output" >>"$log" ||
  failed "scripts/run.sh did not print the transcript sample-file-3x3"
run_time=$((SECONDS - since))
echo "the run command printed the transcript, in $run_time s"

since=$SECONDS
echo "== fresh machine: scripts/test.sh" >>"$log"
in_background inside env CROSS_TARGETS= FUZZ_SECONDS=5 scripts/test.sh </dev/null >>"$log" 2>&1 ||
  failed "scripts/test.sh ended with status $?"
test_time=$((SECONDS - since))
echo "the test command passed, in $test_time s"

# The run command once more: the test command's builds must have left the
# program of the first one as it was.
echo "== fresh machine: scripts/run.sh once more" >>"$log"
status=0
in_background inside scripts/run.sh <"$transcript/input" >"$root/run-output" 2>"$root/run-errors" ||
  status=$?
cat "$root/run-errors" >>"$log"
[ $status -eq 0 ] || failed "scripts/run.sh ended with status $status the second time"
grep -q "no work to do" "$root/run-errors" ||
  failed "scripts/run.sh rebuilt the program after the test command"
diff -u "$transcript/expected" "$root/run-output" >>"$log" ||
  failed "scripts/run.sh did not print the transcript sample-file-3x3 the second time"
echo "the run command after it rebuilt nothing"
echo "fresh machine (Debian $suite): root $made s, run command $run_time s," \
  "test command $test_time s, total $((SECONDS - start)) s"
