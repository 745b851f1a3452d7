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

# gio (GLib's launcher) starts programs from desktop entries as a desktop
# menu does; it is the check's tool, not something the packages need.
in_chroot apt-get install -y -qq --no-install-recommends libglib2.0-bin >/dev/null

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
# Lanyx in a network namespace of its own, with a veth pair for the default
# broadcast route, so nothing reaches the machine's network: it starts, shows
# its window and ends cleanly on SIGTERM.
export -f as_tester
export chroot_dir
own_segment='ip link set lo up; ip link add eth0 type veth peer name eth1; ip addr add 10.98.0.1/24 dev eth0;
  ip link set eth0 up; ip link set eth1 up; ip route add default dev eth0'
unshare --net bash -c "$own_segment"'; as_tester sh -c '"'"'lanyx >/tmp/lanyx.log 2>&1 & pid=$!; sleep 5; kill -0 $pid && kill $pid; wait $pid; echo "lanyx ran for 5 s, exit status $?"'"'"
as_tester sh -c 'ls ~/.local/share/Lanyx && ! grep "^lanyx:" /tmp/lanyx.log'
# From the menu entries, as the desktop starts them; neither may report an error.
as_tester sh -c 'gio launch /usr/share/applications/tavishfennic.desktop >/tmp/fennic-menu.log 2>&1; sleep 4;
  pgrep -x tavishfennic >/dev/null && pkill -x tavishfennic && ! grep "^tavishfennic:" /tmp/fennic-menu.log &&
  echo "tavishfennic started from its menu entry"'
unshare --net bash -c "$own_segment"'; as_tester sh -c '"'"'gio launch /usr/share/applications/lanyx.desktop >/tmp/lanyx-menu.log 2>&1; sleep 4;
  pgrep -x lanyx >/dev/null && pkill -x lanyx && ! grep "^lanyx:" /tmp/lanyx-menu.log && echo "lanyx started from its menu entry"'"'"

echo "== apt purge"
in_chroot apt-get purge -y -qq lanyx tavishfennic >/dev/null
if [ -e "$chroot_dir/usr/lib/lanyx" ] || [ -e "$chroot_dir/usr/lib/tavishfennic" ] || [ -e "$chroot_dir/usr/bin/lanyx" ]; then
  echo "clean-install-check: files left after purge" >&2
  exit 1
fi
echo "removed; the user's files stay in the home folder: $(ls "$chroot_dir/home/tester/.local/share/Lanyx" | tr '\n' ' ')"
echo "clean-install-check: passed"
