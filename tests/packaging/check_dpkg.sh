#!/usr/bin/env bash
# Installs, removes and purges the built package with dpkg, as an administrator would, over
# a clean system store and over damaged ones, all under the strict umask 077. Each store
# state runs in a private mount namespace whose /usr and /var are overlays kept in memory
# (dpkg_case.sh), so neither the machine's files nor its package database ever change.
#
#   check_dpkg.sh PACKAGE_FOLDER INSTALL_DIR SYSTEM_STORE WORK_DIR
#
# PACKAGE_FOLDER holds the one built .deb; INSTALL_DIR is where the package puts its files
# and SYSTEM_STORE the store its maintainer scripts name. Prints "SKIPPED: ..." where the
# machine does not allow the namespace or the overlays.
set -euo pipefail

if [ $# -ne 4 ]; then
    echo "usage: check_dpkg.sh PACKAGE_FOLDER INSTALL_DIR SYSTEM_STORE WORK_DIR" >&2
    exit 2
fi
package_folder=$1 install_dir=$2 store=$3 work_dir=$4
here=$(cd "$(dirname "$0")" && pwd)

skip() {
    echo "SKIPPED: $*"
    exit 0
}

[ "$(id -u)" -eq 0 ] || skip "installing the package with dpkg needs root, to make a private mount namespace"
command -v unshare > /dev/null || skip "unshare is missing (util-linux)"
unshare --mount --propagation private true 2> /dev/null ||
    skip "this machine does not allow a private mount namespace (unshare --mount)"

packages=("$package_folder"/*.deb)
if [ ${#packages[@]} -ne 1 ] || [ ! -f "${packages[0]}" ]; then
    echo "check_dpkg: expected one built package in '$package_folder', found: ${packages[*]}" >&2
    exit 1
fi

mkdir -p "$work_dir"
work_dir=$(realpath "$work_dir")
case "$work_dir/" in
    /usr/* | /var/*) skip "the work folder '$work_dir' lies under /usr or /var, which the test covers with overlays" ;;
esac

umask 077
# The inner script refuses to mount anything or to run dpkg unless its mount namespace is
# another than this one.
export CORVANE_HOST_MOUNT_NS
CORVANE_HOST_MOUNT_NS=$(readlink /proc/self/ns/mnt)

failed=()
for state in clean damaged blocked; do
    echo "== system store $state"
    status=0
    unshare --mount --propagation private -- \
        bash "$here/dpkg_case.sh" "$state" "${packages[0]}" "$install_dir" "$store" "$work_dir" || status=$?
    case $status in
        0) ;;
        77)
            rmdir "$work_dir"
            skip "this machine does not allow overlay mounts over /usr and /var in a private namespace" ;;
        *) failed+=("$state") ;;
    esac
done
rmdir "$work_dir"

if [ ${#failed[@]} -gt 0 ]; then
    echo "check_dpkg: the package's life failed over the system store: ${failed[*]}" >&2
    exit 1
fi
echo "check_dpkg: installed, removed and purged over every system store"
