#!/usr/bin/env bash
# Builds the .deb and checks an unpacked copy: the tools find our adapter library, the
# launcher starts the window, the menu entry and icon are there.
set -euo pipefail
build=$1
root=$(mktemp -d)
sim=
trap 'echo "package check failed at line $LINENO" >&2' ERR
trap '[[ -n $sim ]] && kill $sim 2>/dev/null || true; rm -rf "$root"' EXIT
(cd "$build" && cpack >/dev/null)
debs=("$build"/gleistron-manager_*.deb)
deb=${debs[-1]}
# Captured first: grep -q leaving a pipe early would fail it under pipefail.
info=$(dpkg-deb -I "$deb")
grep -q 'Depends:.*libqt6widgets6' <<<"$info"
dpkg-deb -x "$deb" "$root/pkg"
usr="$root/pkg/usr"
grep -qx 'Exec=gleistron-manager' "$usr/share/applications/gleistron-manager.desktop"
test -s "$usr/share/icons/hicolor/64x64/apps/gleistron-manager.png"
test -s "$usr/share/gleistron-manager/language_en.qm"
grep -q 'ATTR{latency_timer}="2"' "$usr/lib/udev/rules.d/60-gleistron-manager.rules"
grep -q 'ENV{ID_MM_DEVICE_IGNORE}="1"' "$usr/lib/udev/rules.d/60-gleistron-manager.rules"
grep -qx 'ExecStart=gleistron-cli watch --dir %h/Gleistron-Sicherungen --keep 10' \
    "$usr/lib/systemd/user/gleistron-watch.service"

mkdir "$root/links"
"$usr/bin/gleistron-sim" --link-dir "$root/links" --serial 0BADF00D --log "$root/sim.log" \
    > "$root/sim.out" &
sim=$!
for _ in $(seq 300); do grep -q READY "$root/sim.out" && break; sleep 0.1; done
info=$(GLEISTRON_PORTS="$root/links/gleistron0" "$usr/bin/gleistron-cli" info)
grep -qx 'serial 0BADF00D' <<<"$info"

# The launcher gives the window a working directory with the catalogue; the window keeps its
# language there and is still running once it has. It finds the station without a debug line.
asked=$(grep -c '^rx' "$root/sim.log")
HOME="$root/home" QT_QPA_PLATFORM=offscreen GLEISTRON_PORTS="$root/links/gleistron0" \
    "$usr/bin/gleistron-manager" >"$root/window.out" 2>&1 &
window=$!
for _ in $(seq 300); do
    test -s "$root/home/.local/share/gleistron-manager/settings.ini" &&
        (($(grep -c '^rx' "$root/sim.log") > asked)) && break
    sleep 0.1
done
sleep 0.5 # its search's last lines
kill -0 $window
kill $window
wait $window 2>/dev/null || true
test -L "$root/home/.local/share/gleistron-manager/language_en.qm"
test -s "$root/home/.local/share/gleistron-manager/settings.ini"
if grep -q '^gleistron\.' "$root/window.out"; then
    echo "the window wrote debug lines" >&2
    exit 1
fi
echo "package ok: $(basename "$deb")"
