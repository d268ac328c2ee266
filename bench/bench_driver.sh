#!/bin/bash
# A weichen backup through the guest's ftdi_sio (QEMU, TCG) against the same backup over a
# pseudo-terminal on the host, both at 115200 baud of wire time: one line, figure goal measured.
set -uo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/bench-driver.XXXXXX")
trap 'rm -rf "$work"' EXIT
args="--sample --serial 56347812 --baud 115200"
timed='s=$(date +%s.%N); gleistron-cli backup /tmp/w.GTB2 --sets weichen 2>/dev/null; rc=$?
echo "seconds $(awk -v a=$s -v b=$(date +%s.%N) "BEGIN { print b - a }")"; exit $rc'

# shellcheck disable=SC2086
"$build/bin/gleistron-sim" $args --link-dir "$work/host" > "$work/sim.out" &
sim=$!
for _ in $(seq 100); do grep -q READY "$work/sim.out" && break; sleep 0.1; done
pty=$(cd "$work" && GLEISTRON_PORTS=$work/host/gleistron0 PATH=$build/bin:$PATH bash -c "${timed//\/tmp\//$work/}" | sed -n 's/^seconds //p')
kill $sim; wait $sim 2>/dev/null

"$here/../tests/driver/guest.sh" --no-udev --sim-args "$args" --work "$work/guest" "$build" "$timed" >/dev/null 2>&1
guest=$(sed -n 's/^seconds //p' "$work/guest/cmd1.log" 2>/dev/null)
if [[ -z $pty || -z $guest ]]; then
    printf 'weichen backup, ftdi_sio in a guest / pty\t(report)\tnot measured\n'
    exit 1
fi
printf 'weichen backup, ftdi_sio in a guest / pty\t(report)\t%s (%.2f s / %.2f s)\n' \
    "$(awk -v g="$guest" -v p="$pty" 'BEGIN { printf "%.2f", g / p }')" "$guest" "$pty"
