#!/bin/bash
# guest.sh: runs commands in a Linux guest (QEMU, TCG) whose emulated FTDI adapter (0403:6001)
# sits on the kernel's own ftdi_sio driver and is wired to a simulated station on the host.
#
#   guest.sh [options] BUILD_DIR COMMAND...
#
# The guest boots Debian's kernel (the package unpacked under BUILD_DIR, not installed) with a
# busybox initramfs, mounts the host's root read-only over virtio-9p under a tmpfs overlay, loads
# usbserial and ftdi_sio, and runs each COMMAND with bash in /tmp, BUILD_DIR/bin first on PATH.
# Two users exist in the guest: "station" (in the dialout group) and "outsider" (not).
#
# Options:
#   --no-udev        no udevd in the guest (the program then has sysfs only)
#   --rule FILE      a udev rule installed in the guest before udevd starts
#   --sim-args ARGS  options for gleistron-sim (default: --sample --serial 56347812)
#   --replug         when the station comes back after its --unplug-at, plug a new adapter in
#                    on its new terminal (QEMU never reopens a terminal that hung up)
#   --work DIR       where the run's files go (default: a new folder under BUILD_DIR)
#
# Writes into WORK: cmdN.log and cmdN.rc (exit status) per command, guest.log (the guest's own
# lines: "guest: latency N" after plug-in and after each command, "guest: tty ..."), and
# files/ with the *.GTB2 files the commands left in /tmp. Exit 0 when the guest ran every
# command (whatever their status), 125 when it could not be set up or did not come up.
set -uo pipefail

use_udev=1 rule="" replug=0 work="" sim_args="--sample --serial 56347812"
while (($#)); do
    case $1 in
    --no-udev) use_udev=0 ;;
    --rule) rule=$(readlink -f "$2"); shift ;;
    --sim-args) sim_args=$2; shift ;;
    --replug) replug=1 ;;
    --work) work=$2; shift ;;
    --) shift; break ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) break ;;
    esac
    shift
done
(($# >= 2)) || { echo "usage: $0 [options] BUILD_DIR COMMAND..." >&2; exit 2; }
build=$(cd "$1" && pwd) || exit 2
shift
commands=("$@")

cache=$build/driver-cache
mkdir -p "$cache" "$build/driver-runs"
[[ -n $work ]] || work=$(mktemp -d "$build/driver-runs/run.XXXXXX")
mkdir -p "$work/out/files"
log() { printf '[%s] %s\n' "$(date +%T)" "$*" >&2; }

# --- the guest's kernel and udev: Debian's packages, unpacked into the cache -------------------
unpack() { # NAME PACKAGE
    local root=$cache/$1
    [[ -f $root/.done ]] && return 0
    log "fetching Debian's $2"
    rm -rf "$root" && mkdir -p "$root/deb"
    (cd "$root/deb" && apt-get download "$2" 2>&1 | grep -v -i unsandboxed >&2)
    dpkg-deb -x "$root"/deb/*.deb "$root/root" && rm -rf "$root/deb" && touch "$root/.done"
}
kpkg=$(apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[0-9].*\)/\1/p' | head -1)
if [[ -z $kpkg && ! -f $cache/kernel/.done ]]; then
    apt-get update -qq
    kpkg=$(apt-cache depends linux-image-amd64 | sed -n 's/^ *Depends: \(linux-image-[0-9].*\)/\1/p' | head -1)
fi
unpack kernel "${kpkg:-linux-image-amd64}" || exit 125
((use_udev)) && { unpack udev udev || exit 125; }
kroot=$cache/kernel/root
kver=$(ls "$kroot/lib/modules" | head -1)
vmlinuz=$kroot/boot/vmlinuz-$kver
[[ -f $vmlinuz ]] || { echo "no kernel in $kroot" >&2; exit 125; }

# --- the initramfs: busybox, the modules (dependencies first), stage 1 -------------------------
init_text=$(cat <<'EOF'
#!/bin/busybox sh
# Stage 1: modules, the host's root read-only under a tmpfs overlay, then stage 2 from "out".
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
while read -r m; do insmod "/lib/modules/$(uname -r)/$m" || echo "stage1: insmod $m FAILED"; done < /modules.list
mkdir -p /lower /upper /newroot /out
mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=262144,cache=loose hostroot /lower
mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 out /out
mount -t tmpfs -o size=512m tmpfs /upper
mkdir -p /upper/u /upper/w
mount -t overlay overlay -o lowerdir=/lower,upperdir=/upper/u,workdir=/upper/w /newroot
mkdir -p /newroot/mnt/out
mount --move /out /newroot/mnt/out
for d in dev proc sys; do mount --move /$d /newroot/$d; done
[ -x /newroot/mnt/out/stage2.sh ] && exec switch_root /newroot /mnt/out/stage2.sh
echo "stage1: no stage2.sh"
poweroff -f
EOF
)
modules=(virtio_pci 9pnet_virtio 9p overlay xhci_pci usbserial ftdi_sio)
initrd=$cache/initramfs-$kver-$(printf '%s\n' "$init_text" "${modules[*]}" | md5sum | cut -c1-8).cpio.gz
if [[ ! -f $initrd ]]; then
    log "building the initramfs"
    ir=$(mktemp -d)
    mods=$kroot/lib/modules/$kver
    mkdir -p "$ir"/{bin,proc,sys,dev,tmp}
    cp /bin/busybox "$ir/bin/busybox"
    printf '%s\n' "$init_text" > "$ir/init" && chmod +x "$ir/init"
    all=$(cd "$mods" && find kernel -name '*.ko*')
    declare -A seen
    order=()
    visit() {
        local name=${1//-/_} f deps d
        [[ -n ${seen[$name]:-} ]] && return 0
        seen[$name]=1
        f=$(grep -E "/(${name}|${name//_/-})\.ko\$" <<<"$all" | head -1)
        [[ -n $f ]] || { echo "kernel $kver has no module $name" >&2; return 1; }
        deps=$(objcopy -O binary --only-section=.modinfo "$mods/$f" /dev/stdout | tr '\0' '\n' | sed -n 's/^depends=//p')
        for d in ${deps//,/ }; do visit "$d" || return 1; done
        order+=("$f")
    }
    for m in "${modules[@]}"; do visit "$m" || exit 125; done
    for f in "${order[@]}"; do
        mkdir -p "$ir/lib/modules/$kver/$(dirname "$f")"
        cp "$mods/$f" "$ir/lib/modules/$kver/$f"
    done
    printf '%s\n' "${order[@]}" > "$ir/modules.list"
    (cd "$ir" && find . | cpio -o -H newc --quiet) | gzip -1 > "$initrd.tmp" && mv "$initrd.tmp" "$initrd"
    rm -rf "$ir"
fi

# --- stage 2: the guest's PID 1 on the overlay root ----------------------------------------------
{
    printf 'BUILD=%q\nUSE_UDEV=%d\nUROOT=%q\nRULE=%q\n' "$build" "$use_udev" "$cache/udev/root" "$rule"
    printf 'COMMANDS=(\n'; printf '  %q\n' "${commands[@]}"; printf ')\n'
} > "$work/out/params.sh"
cat > "$work/out/stage2.sh" <<'EOF'
#!/bin/bash
out=/mnt/out
. $out/params.sh
export PATH=$BUILD/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 TERM=dumb
mount -t tmpfs tmpfs /run && mkdir -p /run/lock
mkdir -p /dev/pts && mount -t devpts devpts /dev/pts
for f in 0:stdin 1:stdout 2:stderr; do ln -sf /proc/self/fd/${f%%:*} /dev/${f#*:}; done
ln -sf /proc/self/fd /dev/fd
exec > >(tee $out/guest.log) 2>&1
touch /run/start-marker
# The users of the cases: one in the dialout group, one outside it.
echo 'station:x:1500:1500::/tmp:/bin/bash' >> /etc/passwd
echo 'outsider:x:1501:1501::/tmp:/bin/bash' >> /etc/passwd
printf 'station:x:1500:\noutsider:x:1501:\n' >> /etc/group
sed -i 's/^dialout:x:20:.*/dialout:x:20:station/' /etc/group
latency() { echo "guest: latency $(cat /sys/class/tty/ttyUSB0/device/latency_timer 2>/dev/null || echo none)"; }
if ((USE_UDEV)); then
    cp -a "$UROOT/lib/udev/." /usr/lib/udev/ && cp "$UROOT/bin/udevadm" /usr/bin/udevadm &&
        ln -sf /usr/bin/udevadm /usr/lib/systemd/systemd-udevd
    mkdir -p /etc/udev/rules.d && cp "$UROOT/etc/udev/udev.conf" /etc/udev/ 2>/dev/null
    [ -n "$RULE" ] && cp "$RULE" /etc/udev/rules.d/
    /usr/lib/systemd/systemd-udevd --daemon --resolve-names=late 2>/dev/null
    udevadm trigger --type=subsystems --action=add
    udevadm trigger --type=devices --action=add
    udevadm settle --timeout=60
    echo "guest: udev $(udevadm info -q property -n /dev/ttyUSB0 2>/dev/null | grep -E '^(ID_VENDOR_ID|ID_MM_DEVICE_IGNORE)=' | tr '\n' ' ')"
fi
echo "guest: tty $(ls /sys/class/tty | grep ttyUSB | tr '\n' ' ')"
latency
i=0
for c in "${COMMANDS[@]}"; do
    i=$((i + 1))
    (cd /tmp && bash -c "$c") > $out/cmd$i.log 2>&1 < /dev/null
    echo $? > $out/cmd$i.rc
    echo "guest: command $i exit $(cat $out/cmd$i.rc)"
    latency
done
echo "guest: tty $(ls /sys/class/tty | grep ttyUSB | tr '\n' ' ')"
find /tmp -maxdepth 1 -name '*.GTB2' -newer /run/start-marker -exec cp {} $out/files/ \;
dmesg > $out/dmesg.txt
sync
busybox poweroff -f
EOF
chmod +x "$work/out/stage2.sh"

# --- the simulated station, then the guest --------------------------------------------------------
sim_pid="" qemu_pid="" replug_pid=""
cleanup() {
    [[ -n $replug_pid ]] && kill "$replug_pid" 2>/dev/null
    [[ -n $qemu_pid ]] && kill "$qemu_pid" 2>/dev/null && wait "$qemu_pid" 2>/dev/null
    [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    replug_pid="" qemu_pid="" sim_pid=""
}
trap 'cleanup; exit 125' INT TERM
trap cleanup EXIT
# shellcheck disable=SC2086
"$build/bin/gleistron-sim" --link-dir "$work/gl" $sim_args > "$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do grep -q READY "$work/sim.out" && break; sleep 0.1; done
grep -q READY "$work/sim.out" || { cat "$work/sim.out" >&2; exit 125; }

log "booting the guest (kernel $kver, udev $use_udev)"
nice -n 10 timeout -k 5 600 qemu-system-x86_64 \
    -machine q35,accel=tcg -cpu max -m 1024 -smp 1 -nodefaults -no-user-config \
    -display none -no-reboot \
    -kernel "$vmlinuz" -initrd "$initrd" -append "console=ttyS0 panic=-1 loglevel=4" \
    -serial "file:$work/console.log" \
    -fsdev local,id=hostroot,path=/,security_model=none,readonly=on,multidevs=remap \
    -device virtio-9p-pci,fsdev=hostroot,mount_tag=hostroot \
    -fsdev "local,id=out,path=$work/out,security_model=none" \
    -device virtio-9p-pci,fsdev=out,mount_tag=out \
    -device qemu-xhci,id=xhci \
    -chardev "serial,id=ftdi,path=$work/gl/gleistron0" \
    -device usb-serial,bus=xhci.0,chardev=ftdi,serial=GL000001 \
    -monitor "unix:$work/monitor.sock,server=on,wait=off" \
    > "$work/qemu.log" 2>&1 &
qemu_pid=$!
if ((replug)); then
    (
        n=0
        while kill -0 "$qemu_pid" 2>/dev/null; do
            back=$(grep -c '^gleistron-sim: adapter 0 back on' "$work/sim.out")
            if ((back > n)); then
                n=$((n + 1))
                pts=$(grep '^gleistron-sim: adapter 0 back on' "$work/sim.out" | sed -n "${n}p" | awk '{print $NF}')
                printf 'chardev-add serial,id=ftdi%d,path=%s\ndevice_add usb-serial,bus=xhci.0,chardev=ftdi%d,serial=GL000001,id=replug%d\n' \
                    "$n" "$pts" "$n" "$n" | socat - "UNIX-CONNECT:$work/monitor.sock" > "$work/replug$n.log" 2>&1
                log "replugged the adapter on $pts"
            fi
            sleep 0.2
        done
    ) &
    replug_pid=$!
fi
wait "$qemu_pid"
qemu_pid=""
cleanup
[[ -f $work/out/guest.log ]] || { echo "the guest did not come up:" >&2; tail -20 "$work/console.log" >&2; exit 125; }
cp "$work/out/guest.log" "$work/guest.log"
for f in "$work"/out/cmd*.log "$work"/out/cmd*.rc; do [[ -e $f ]] && cp "$f" "$work/"; done
mkdir -p "$work/files" && cp -r "$work/out/files/." "$work/files/"
exit 0
