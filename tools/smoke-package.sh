#!/usr/bin/env bash
# Smoke test of the Debian packages: makes them, unpacks them into a scratch
# root with dpkg -x (nothing is installed on this machine) and starts both
# programs from there as an ordinary user, through their desktop entries,
# offscreen, in a network namespace of their own. It proves that the
# installed layout finds its language file, sounds, widget server plug-in,
# templates and help, and keeps the user's files in the user's folders.
#
# Usage: tools/smoke-package.sh [BUILD_DIR]      (root: network namespace, setpriv)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

if [ "$(id -u)" -ne 0 ]; then
  echo "smoke-package: SKIPPED: needs root for a network namespace and an unprivileged test user" >&2
  exit 0
fi

failures=0
pass() { echo "  ok: $*"; }
fail() { echo "  FAILED: $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@" >/dev/null 2>&1; then pass "$what"; else fail "$what"; fi; }

echo "== making the packages"
rm -rf "$build/packages"
(cd "$build" && cpack -G DEB >/dev/null)
lanyx_deb=$(ls "$build"/packages/lanyx_*.deb)
fennic_deb=$(ls "$build"/packages/tavishfennic_*.deb)
ls -l "$lanyx_deb" "$fennic_deb"

work=$(mktemp -d /tmp/lanyx-smoke.XXXXXX)
ns=smoke$$
cleanup() {
  pkill -u 65534 -f "$work" 2>/dev/null || true
  ip netns pids "$ns" 2>/dev/null | xargs -r kill -9 2>/dev/null || true
  ip netns del "$ns" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
root=$work/root
home=$work/home
mkdir -p "$root" "$home"
chmod 755 "$work"

echo "== package metadata"
for deb in "$lanyx_deb" "$fennic_deb"; do
  depends=$(dpkg-deb -f "$deb" Depends)
  name=$(dpkg-deb -f "$deb" Package)
  case "$depends" in *libqt6widgets6*) pass "$name depends on $depends" ;; *) fail "$name depends: '$depends'" ;; esac
  # Only the program's own files: no tests, libraries or headers.
  if dpkg-deb -c "$deb" | grep -E '_tests|\.a$|/include/' >/dev/null; then fail "$name holds build leftovers"; else pass "$name holds its program only"; fi
  dpkg -x "$deb" "$root"
done

echo "== installed layout"
for f in usr/lib/lanyx/lanyx usr/lib/lanyx/lanyx-cli usr/lib/lanyx/Lang.con \
         usr/lib/tavishfennic/tavishfennic usr/lib/tavishfennic/classes.reg \
         usr/lib/tavishfennic/PageletServer/FennicButton.so usr/lib/tavishfennic/PageletServer/Sample/sample.htm \
         usr/lib/tavishfennic/FennicHelp/index.htm \
         usr/share/icons/hicolor/scalable/apps/lanyx.svg usr/share/icons/hicolor/scalable/apps/tavishfennic.svg \
         usr/share/doc/lanyx/copyright usr/share/doc/tavishfennic/copyright \
         usr/share/man/man1/lanyx.1.gz usr/share/man/man1/lanyx-cli.1.gz usr/share/man/man1/tavishfennic.1.gz; do
  check "$f" test -s "$root/$f"
done
check "sounds in usr/lib/lanyx" compgen -G "$root/usr/lib/lanyx/*.wav"
check "templates in the server folder" compgen -G "$root/usr/lib/tavishfennic/PageletServer/*.pgt"
for c in lanyx lanyx-cli tavishfennic; do
  check "usr/bin/$c runs the program folder's copy" test "$(readlink -f "$root/usr/bin/$c")" -ef "$root/usr/lib/${c%-cli}/$c"
done
for d in lanyx tavishfennic; do
  if command -v desktop-file-validate >/dev/null; then
    check "$d.desktop passes desktop-file-validate" desktop-file-validate "$root/usr/share/applications/$d.desktop"
  fi
  if command -v appstreamcli >/dev/null; then
    # The one warning left is the id, which is not a reverse domain name.
    out=$(appstreamcli validate --no-net "$root/usr/share/metainfo/$d.metainfo.xml" 2>&1 || true)
    if echo "$out" | grep -E '^ *[EW]:' | grep -v cid-desktopapp-is-not-rdns >/dev/null; then
      fail "$d.metainfo.xml: $out"
    else
      pass "$d.metainfo.xml passes appstreamcli validate"
    fi
  fi
done

# The test user: nobody, with a home of its own. Installed files stay root's
# and read-only to it, as on a real system.
mkdir -p "$home/.run"
chmod 700 "$home/.run"
chown -R 65534:65534 "$home"
as_user() {
  setpriv --reuid=65534 --regid=65534 --clear-groups \
    env -i HOME="$home" PATH="$root/usr/bin:/usr/bin:/bin" QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 \
    XDG_RUNTIME_DIR="$home/.run" "$@"
}

echo "== --version and --check"
check "lanyx --version" as_user lanyx --version
check "tavishfennic --version" as_user tavishfennic --version
if out=$(as_user lanyx --check); then pass "lanyx --check"; else fail "lanyx --check"; fi
echo "$out" | sed 's/^/     /'
case "$out" in *"Language file: $root/usr/lib/lanyx/Lang.con (128 texts"*) pass "language file found" ;; *) fail "language file" ;; esac
case "$out" in *"Data folder: $home/.local/share/Lanyx"*) pass "user files go to the user's data folder" ;; *) fail "data folder" ;; esac
case "$out" in *"Sounds: "*.wav*) pass "sounds found" ;; *) fail "sounds" ;; esac
if out=$(as_user tavishfennic --check); then pass "tavishfennic --check"; else fail "tavishfennic --check"; fi
echo "$out" | sed 's/^/     /'
case "$out" in *"Widget server PageletServer.FennicButton: $root/usr/lib/tavishfennic/PageletServer/FennicButton.so (Fennic Button)"*)
  pass "widget server plug-in bound" ;; *) fail "widget server plug-in" ;; esac
case "$out" in *"Templates: "[1-9]*) pass "templates found" ;; *) fail "templates" ;; esac
case "$out" in *"of your own in $home/.local/share/Meridex/Tavish Fennic/Templates"*)
  pass "the user's templates go to the user's folder" ;; *) fail "user template folder" ;; esac
case "$out" in *"(missing)"*) fail "something is missing" ;; *) pass "help found" ;; esac
case "$out" in *"Work folder: $home/Documents/My Widget"*) pass "work goes to the documents folder" ;; *) fail "work folder" ;; esac

echo "== cmake --install under another prefix"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
for c in lanyx tavishfennic; do
  check "$c --check from $work/prefix/bin" as_user "$work/prefix/bin/$c" --check
done

# Starts a program the way the desktop menu does: through its desktop entry.
launch() {
  local entry=$root/usr/share/applications/$1.desktop log=$2
  if command -v gio >/dev/null; then
    as_user gio launch "$entry" >"$log" 2>&1
  else
    local exec_line
    # Without a file to open the field codes (%f, %U, ...) stand for nothing.
    exec_line=$(sed -n 's/^Exec=//p' "$entry" | sed 's/ %[fFuUick]//g')
    as_user sh -c "$exec_line" >"$log" 2>&1 &
  fi
}

echo "== both programs started from their menu entries, offscreen"
# A segment of its own: a veth pair inside the namespace, so the real default
# broadcast address works and nothing reaches the machine's network.
ip netns add "$ns"
ip -n "$ns" link set lo up
ip -n "$ns" link add eth0 type veth peer name eth1
ip -n "$ns" addr add 10.98.0.1/24 dev eth0
ip -n "$ns" link set eth0 up
ip -n "$ns" link set eth1 up
ip -n "$ns" route add default dev eth0
in_ns() { ip netns exec "$ns" "$@"; }
export home root

in_ns bash -c "$(declare -f as_user launch); launch lanyx '$work/lanyx.err'"
in_ns bash -c "$(declare -f as_user launch); launch tavishfennic '$work/fennic.err'"
# Lanyx listens ten seconds before it joins under the user's name.
present=
for _ in $(seq 1 25); do
  if in_ns bash -c "$(declare -f as_user); as_user lanyx-cli --dir '$home/cli' --name smoke-cli --probe-ms 300 who" \
       2>/dev/null | grep -q '^nobody'; then present=1; break; fi
  sleep 1
done
if [ -n "$present" ]; then pass "lanyx joined the segment as 'nobody'"; else fail "lanyx did not join the segment"; fi
check "lanyx logged its start in the user's folder" grep -q "Settings and language loaded" "$home/.local/share/Lanyx/Log.txt"
check "tavishfennic is running" pgrep -u 65534 -x tavishfennic
check "tavishfennic made its work folder" test -d "$home/Documents/My Widget"

pkill -TERM -u 65534 -x lanyx || true
pkill -TERM -u 65534 -x tavishfennic || true
for _ in $(seq 1 50); do
  pgrep -u 65534 -x lanyx >/dev/null || pgrep -u 65534 -x tavishfennic >/dev/null || break
  sleep 0.2
done
check "lanyx ended on SIGTERM" bash -c "! pgrep -u 65534 -x lanyx"
check "lanyx saved its settings in the user's folder" test -s "$home/.local/share/Lanyx/User.ini"
check "nothing written into the program folders" bash -c "[ -z \"\$(find '$root/usr' -newer '$lanyx_deb' -type f)\" ]"
for err in "$work/lanyx.err" "$work/fennic.err"; do
  if grep -E '^(lanyx|tavishfennic):' "$err" >/dev/null; then fail "error messages: $(cat "$err")"; else pass "no error messages from $(basename "$err" .err)"; fi
done

if [ "$failures" -ne 0 ]; then
  echo "smoke-package: $failures check(s) failed"
  exit 1
fi
echo "smoke-package: all checks passed"
