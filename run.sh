#!/usr/bin/env bash
# Builds and starts Gleistron Manager. Without --hardware (and without GLEISTRON_PORTS set) a
# simulated station with a sample layout runs beside it and is stopped with the program.
set -euo pipefail
cd "$(dirname "$0")"

hardware=0
for arg in "$@"; do
    case "$arg" in
        --hardware) hardware=1 ;;
        *) echo "usage: ./run.sh [--hardware]" >&2; exit 2 ;;
    esac
done

source scripts/prepare.sh

work="$PWD/build/workdir"
mkdir -p "$work"
sim_pid=
cleanup() { [[ -n "$sim_pid" ]] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null; true; }
trap cleanup EXIT

if [[ $hardware -eq 0 && -z "${GLEISTRON_PORTS:-}" ]]; then
    coproc SIM { exec build/bin/gleistron-sim --sample --link-dir "$work"; }
    sim_pid=$SIM_PID
    port=
    while read -r word value <&"${SIM[0]}"; do
        [[ $word == PORT && -z $port ]] && port=$value
        [[ $word == READY ]] && break
    done
    export GLEISTRON_PORTS="$port"
    echo "Simulated station on $GLEISTRON_PORTS (serial 56347812). Use ./run.sh --hardware for a real one."
fi

cd "$work"
"$OLDPWD/build/bin/gleistron-manager"
