#!/usr/bin/env bash
# Builds the .deb and checks it as Debian does (lintian, the AppStream and desktop entry
# validators), then an unpacked copy: the manual pages and the completion are there and agree
# with the tool's --help, the tools find our adapter library, the launcher starts the window,
# the menu entry and icon are there.
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
# Not a single error or warning; lintian's output is shown when it finds any.
if ! lintian --fail-on error,warning "$deb" >"$root/lintian.out" 2>&1 ||
    grep -q '^[EW]: ' "$root/lintian.out"; then
    cat "$root/lintian.out" >&2
    exit 1
fi
dpkg-deb -x "$deb" "$root/pkg"
usr="$root/pkg/usr"
# The software centre's metadata and the menu entry are valid and name each other.
id=example.orvandel.GleistronManager
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >"$root/appstream.out" ||
    { cat "$root/appstream.out" >&2; exit 1; }
grep -q "<id>$id</id>" "$usr/share/metainfo/$id.metainfo.xml"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$usr/share/metainfo/$id.metainfo.xml"
grep -q "<release version=\"$(dpkg-deb -f "$deb" Version)\" date=" "$usr/share/metainfo/$id.metainfo.xml"
desktop=$(desktop-file-validate "$usr/share/applications/$id.desktop" 2>&1)
[[ -z $desktop ]] || { echo "$desktop" >&2; exit 1; }
grep -qx 'Exec=gleistron-manager' "$usr/share/applications/$id.desktop"

# `man PROGRAM` finds each page; the tools' pages hold what --help cannot say.
for program in gleistron-manager gleistron-cli gleistron-sim; do
    page=$(MANPATH="$usr/share/man" MANWIDTH=80 MANPAGER=cat man "$program" 2>&1)
    grep -qx "NAME" <<<"$page"
    grep -qx "EXIT STATUS" <<<"$page"
    [[ $program == gleistron-manager ]] || grep -qx "EXAMPLES" <<<"$page"
done
grep -qx "FILES" <<<"$(MANPATH="$usr/share/man" MANPAGER=cat man gleistron-cli)"

# The completion offers the commands, the set keys after --sets and the options that --help
# lists, and files by their extension.
completion="$usr/share/bash-completion/completions/gleistron-cli"
offered() {
    (cd "$root/files" && bash -c 'source /usr/share/bash-completion/bash_completion
        source "$0"; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"
        COMP_POINT=${#COMP_LINE}; _gleistron_cli; printf "%s\n" "${COMPREPLY[@]}"' \
        "$completion" gleistron-cli "$@") | sort
}
mkdir "$root/files"
touch "$root/files/"{a.GTB2,b.GTB,c.lsb,d.txt}
help=$("$usr/bin/gleistron-cli" --help)
commands=$(sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\).*/\1/p' <<<"$help" | sort -u)
keys=$(sed -n '/^Set keys:/,/^$/{s/^Set keys://;s/\<or\>//;p}' <<<"$help" | tr -s ' ,.\n' '\n' |
    sed '/^$/d' | sort)
options=$(sed -n '/^Options:/,/^$/s/^ *\(-h, \)\?\(--[a-z-]*\).*/\2/p' <<<"$help" | sort)
[[ -n $commands && $(offered '') == "$commands" ]]
[[ $(offered backup --sets '') == "$keys" ]]
[[ $(offered --) == "$options" ]]
[[ $(offered lsb-update '') == c.lsb ]]
[[ $(offered restore '') == $'a.GTB2\nb.GTB' ]]
# Bash splits the word at the colon: what replaces its last part.
[[ $(offered restore a.GTB2 --records 'weichen:5;fa') == '5;fahrstrassen:' ]]
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
