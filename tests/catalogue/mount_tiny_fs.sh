#!/bin/sh
# Mounts or unmounts the 16 KB file system on which the catalogue tests run
# out of disk space:  mount_tiny_fs.sh mount|unmount DIR
# Mounting needs root. Where it is refused, NOT-MOUNTED.txt in DIR gives the
# reason, and the disk-full test skips with it; the setup itself still passes.
set -u
action=$1
dir=$2
marker=$dir/NOT-MOUNTED.txt

unmount_all() {
    while mountpoint -q "$dir"; do
        umount "$dir" || return 1
    done
}

case $action in
mount)
    mkdir -p "$dir" || exit 1
    unmount_all  # left over from an interrupted run
    rm -f "$marker"
    if reason=$(mount -t tmpfs -o size=16k tmpfs "$dir" 2>&1); then
        echo "tiny file system mounted at $dir"
    else
        printf 'mount -t tmpfs -o size=16k refused: %s\n' "${reason:-no reason given}" >"$marker"
        cat "$marker"
    fi
    ;;
unmount)
    unmount_all
    ;;
*)
    echo "usage: $0 mount|unmount DIR" >&2
    exit 2
    ;;
esac
