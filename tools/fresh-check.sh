#!/usr/bin/env bash
# Fresh-machine check: builds a minimal Debian root (apt, ca-certificates and
# make, nothing else), puts a clean clone of this repository in it and runs
# the README's two commands there as root inside chroot:
#   make test   must pass;
#   make run    with no display and no input must reach the first prompt of
#               the console front end and end cleanly at the end of input.
# Prints the outcome of both and exits non-zero when either fails; exit code
# 2 when it cannot run at all (not root, no mmdebstrap, no network).
#
#   tools/fresh-check.sh [REPOSITORY]     (default: the repository it is in)
#
# The root is made under ${FRESH_CHECK_DIR:-/var/tmp}; /proc, /dev and a
# private /tmp are mounted for the chroot and unmounted on every exit path,
# and the root is removed afterwards (FRESH_CHECK_KEEP=1 keeps it).
set -uo pipefail

repo=${1:-$(cd "$(dirname "$0")/.." && pwd)}
suite=bookworm

fail_setup() { echo "fresh-check: $*" >&2; exit 2; }

[ "$(id -u)" -eq 0 ] || fail_setup "must run as root (mmdebstrap and chroot need it)"
command -v mmdebstrap >/dev/null || fail_setup "mmdebstrap is not installed (apt-get install mmdebstrap)"
command -v git >/dev/null || fail_setup "git is not installed"
git -C "$repo" rev-parse --git-dir >/dev/null 2>&1 || fail_setup "$repo is not a git repository"

# The machine's own Debian sources: the deb822 file when there is one, the
# classic list otherwise. Other vendors' lists are left out.
sources=""
for f in /etc/apt/sources.list.d/debian.sources /etc/apt/sources.list; do
  if [ -s "$f" ] && grep -q 'debian' "$f"; then sources=$f; break; fi
done
[ -n "$sources" ] || fail_setup "no Debian apt sources found in /etc/apt"
mirror=$(awk '/^URIs:/ {print $2; exit} /^deb / {print ($2 ~ /^\[/ ? $3 : $2); exit}' "$sources")
[ -n "$mirror" ] || fail_setup "no mirror address in $sources"
probe=$(mktemp) || fail_setup "cannot create a temporary file"
if ! /usr/lib/apt/apt-helper -o Acquire::http::Timeout=15 -o Acquire::Retries=0 \
    download-file "${mirror%/}/dists/$suite/Release" "$probe" >/dev/null 2>&1; then
  rm -f "$probe"
  fail_setup "no network: cannot reach the Debian archive at $mirror"
fi
rm -f "$probe"

base=${FRESH_CHECK_DIR:-/var/tmp}
root=$(mktemp -d "$base/fresh-check.XXXXXX") || fail_setup "cannot create a folder in $base"
mounted=()

cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" 2>/dev/null
  done
  mounted=()
  # Remove the root only when nothing is mounted below it any more.
  if grep -q " ${root}/" /proc/mounts; then
    echo "fresh-check: mounts remain under $root, not removing it" >&2
  elif [ "${FRESH_CHECK_KEEP:-0}" = 1 ]; then
    echo "fresh-check: root kept in $root"
  else
    rm -rf --one-file-system "$root"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

mount_in() {  # mount_in <target under root> <mount arguments...>
  local target=$root$1
  shift
  mkdir -p "$target"
  mount "$@" "$target" || return 1
  mounted+=("$target")
}

start=$(date +%s)
echo "fresh-check: building a Debian $suite root in $root"
if ! mmdebstrap --quiet --variant=apt --include=ca-certificates,make \
    "$suite" "$root" "$sources" >"$root.mmdebstrap.log" 2>&1; then
  tail -20 "$root.mmdebstrap.log" >&2
  rm -f "$root.mmdebstrap.log"
  fail_setup "mmdebstrap failed"
fi
rm -f "$root.mmdebstrap.log"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

git clone --quiet --no-local "$repo" "$root/root/project" || fail_setup "git clone of $repo failed"
echo "fresh-check: cloned $(git -C "$root/root/project" log -1 --format='%h %s')"

mount_in /proc -t proc proc || fail_setup "cannot mount /proc"
mount_in /dev --rbind /dev || fail_setup "cannot mount /dev"
mount --make-rslave "$root/dev"
mount_in /tmp -t tmpfs tmpfs || fail_setup "cannot mount /tmp"

in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb "$@"
}

echo "fresh-check: make test"
t0=$(date +%s)
in_root sh -c 'cd /root/project && make test' >"$root/tmp/make-test.log" 2>&1
test_status=$?
t1=$(date +%s)
grep -E 'tests passed|tests failed|Error|error:' "$root/tmp/make-test.log" | tail -5
[ $test_status -eq 0 ] || tail -60 "$root/tmp/make-test.log"

# make run with no display: stdin at its end, so bertlog shows its first
# prompt, reads the end of input and ends; the run script stops the simulator.
echo "fresh-check: make run (no display, no input)"
in_root sh -c 'cd /root/project && timeout 300 make run </dev/null' >"$root/tmp/make-run.log" 2>&1
run_status=$?
if [ $run_status -eq 0 ] && grep -q '^prompt: "IP address?"' "$root/tmp/make-run.log" &&
   grep -q '^bertlog ended with status' "$root/tmp/make-run.log"; then
  run_ok=1
else
  run_ok=0
  tail -30 "$root/tmp/make-run.log"
fi
t2=$(date +%s)

outcome() { [ "$1" = 1 ] && echo passed || echo FAILED; }
echo "fresh-check: make test $(outcome $((test_status == 0))) in $((t1 - t0)) s;" \
     "make run $(outcome $run_ok) in $((t2 - t1)) s; $((t2 - start)) s in all"
[ $test_status -eq 0 ] && [ $run_ok = 1 ]
