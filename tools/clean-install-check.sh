#!/usr/bin/env bash
# Installs the Debian packages with apt on a clean Debian 12 made with
# debootstrap (minbase: no desktop, no Qt) and starts both programs there,
# offscreen, as an ordinary user. Checks that the packages pull in everything
# they need at run time. Needs root, debootstrap and a Debian mirror; takes a
# few minutes and is not part of CI.
#
# Usage: tools/clean-install-check.sh [BUILD_DIR] [CHROOT_DIR]
#   CHROOT_DIR is kept for the next run (default /var/tmp/lanyx-bookworm).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
chroot_dir=${2:-/var/tmp/lanyx-bookworm}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

[ "$(id -u)" -eq 0 ] || { echo "clean-install-check: needs root" >&2; exit 2; }
ls "$build"/packages/lanyx_*.deb "$build"/packages/tavishfennic_*.deb >/dev/null

if [ ! -x "$chroot_dir/usr/bin/apt-get" ]; then
  echo "== debootstrap bookworm into $chroot_dir"
  debootstrap --variant=minbase bookworm "$chroot_dir" "$mirror" >/dev/null
fi
# Start from the bare system each time: drop what an earlier run installed.
mounted=()
cleanup() { for m in "${mounted[@]}"; do umount -l "$m" 2>/dev/null || true; done; }
trap cleanup EXIT
mount -t proc proc "$chroot_dir/proc" && mounted+=("$chroot_dir/proc")
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
in_chroot() { chroot "$chroot_dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
in_chroot apt-get purge -y -qq lanyx tavishfennic >/dev/null 2>&1 || true
in_chroot apt-get autoremove -y -qq --purge >/dev/null 2>&1 || true

echo "== apt install ./lanyx_*.deb ./tavishfennic_*.deb"
rm -rf "$chroot_dir/tmp/packages"
cp -r "$build/packages" "$chroot_dir/tmp/packages"
in_chroot apt-get update -qq
in_chroot sh -c 'apt-get install -y -qq /tmp/packages/lanyx_*.deb /tmp/packages/tavishfennic_*.deb' | tail -3
in_chroot dpkg -l lanyx tavishfennic | tail -2

echo "== as an ordinary user"
in_chroot sh -c 'id tester >/dev/null 2>&1 || useradd -m tester'
as_tester() {
  chroot --userspec=tester:tester "$chroot_dir" /usr/bin/env -i HOME=/home/tester PATH=/usr/bin:/bin \
    QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 "$@"
}
as_tester lanyx --version
as_tester tavishfennic --version
as_tester lanyx --check
as_tester tavishfennic --check
# The designer's window for a few seconds: it must still be running then.
as_tester sh -c 'tavishfennic >/tmp/fennic.log 2>&1 & pid=$!; sleep 5; kill -0 $pid && kill $pid && echo "tavishfennic ran for 5 s"'
as_tester sh -c '! grep "^tavishfennic:" /tmp/fennic.log'
# Lanyx's window in a network namespace with loopback only: it starts, shows
# its window and ends cleanly on SIGTERM (the segment test is smoke-package.sh).
export -f as_tester
export chroot_dir
unshare --net bash -c 'ip link set lo up; as_tester sh -c '"'"'lanyx --broadcast 127.255.255.255 >/tmp/lanyx.log 2>&1 & pid=$!; sleep 5; kill -0 $pid && kill $pid; wait $pid; echo "lanyx ran for 5 s, exit status $?"'"'"
as_tester sh -c 'ls ~/.local/share/Lanyx && ! grep "^lanyx:" /tmp/lanyx.log'
echo "clean-install-check: passed"
