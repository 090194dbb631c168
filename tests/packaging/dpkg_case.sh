#!/usr/bin/env bash
# One life of the package (install, remove, purge) over one state of the system store, run
# by check_dpkg.sh inside a private mount namespace. /usr and /var become overlays whose
# changes go to a memory file system on WORK_DIR and vanish with the namespace; dpkg runs
# only after checking that they are there.
#
#   dpkg_case.sh clean|damaged|blocked PACKAGE INSTALL_DIR SYSTEM_STORE WORK_DIR
#
# Status 0 when the life went as it should, 1 when it did not, 77 when the overlays cannot
# be made here.
set -euo pipefail

state=$1 package=$2 install_dir=$3 store=$4 work_dir=$5
store_dir=${store%/*}
# Another store, named by the environment of whoever runs dpkg: the maintainer scripts must
# keep to the one store every program reads.
stray_store=/var/lib/formkit-elsewhere/registry.json

die() {
    echo "dpkg_case: $*" >&2
    exit 1
}

if [ -z "${CORVANE_HOST_MOUNT_NS:-}" ] || [ "$(readlink /proc/self/ns/mnt)" = "$CORVANE_HOST_MOUNT_NS" ]; then
    die "not in a private mount namespace: refusing to mount anything or to run dpkg"
fi

scratch=$work_dir
mount -t tmpfs -o mode=0755 corvane-dpkg-test "$scratch" || exit 77
cp "$package" "$scratch/package.deb"
for tree in usr var; do
    mkdir "$scratch/$tree.upper" "$scratch/$tree.work"
    # The root of an overlay takes the mode of its upper folder.
    chmod --reference="/$tree" "$scratch/$tree.upper"
    mount -t overlay corvane-dpkg-test \
        -o "lowerdir=/$tree,upperdir=$scratch/$tree.upper,workdir=$scratch/$tree.work" "/$tree" || exit 77
done

# dpkg runs, and the store is damaged, only over the overlays made above, on private mounts.
require_overlays() {
    local tree
    for tree in usr var; do
        [ "$(findmnt -n -o FSTYPE,PROPAGATION --mountpoint "/$tree")" = "overlay private" ] ||
            die "/$tree is not a private overlay: refusing to go on"
        findmnt -n -o OPTIONS --mountpoint "/$tree" | grep -q "upperdir=$scratch/$tree.upper" ||
            die "/$tree is not this test's overlay: refusing to go on"
    done
}
require_overlays

dpkg_in_overlays() {
    require_overlays
    dpkg --no-triggers "$@"
}

problems=0
problem() {
    echo "  FAILED ($state store, $step): $*" >&2
    problems=$((problems + 1))
}

# Runs one step of the package's life as an administrator whose environment names a stray
# store, and keeps what dpkg and the maintainer scripts said in $out and $err; later checks
# read them. Other packages' triggers stay pending: they are no business of this package.
step=""
run_dpkg() {
    step=$1
    shift
    local status=0
    FORMKIT_SYSTEM_REGISTRY=$stray_store DEBIAN_FRONTEND=noninteractive \
        dpkg_in_overlays "$@" > "$scratch/out" 2> "$scratch/err" || status=$?
    out=$(cat "$scratch/out") err=$(cat "$scratch/err")
    echo "-- dpkg $*"
    printf '%s\n' "$out" "$err" | sed '/^$/d; s/^/   /'
    [ $status -eq 0 ] || problem "dpkg $* ended with status $status"
    [ ! -e "${stray_store%/*}" ] || problem "a maintainer script wrote the store named by the environment"
}

# dpkg's word for the package's state; "not-installed" also when dpkg forgot it altogether.
package_status() {
    local status
    status=$(dpkg-query -W -f '${Status}' corvane 2> /dev/null) || status=""
    case $status in
        "" | *" not-installed") echo "not-installed" ;;
        *) echo "$status" ;;
    esac
}

expect_status() {
    local status
    status=$(package_status)
    [ "$status" = "$1" ] || problem "the package is '$status', not '$1'"
}

warnings() {
    grep '^corvane: ' <<< "$err" || true
}

expect_no_warning() {
    [ -z "$(warnings)" ] || problem "a warning over a sound store: $(warnings)"
}

# A warning that names the store, that says what $1 says, and never what $2 says.
expect_warning() {
    local said
    said=$(warnings)
    [ -n "$said" ] || problem "no warning about the store"
    [[ "$said" == *"$store"* ]] || problem "the warning does not name the store '$store': $said"
    [[ "$said" =~ $1 ]] || problem "the warning does not say '$1': $said"
    if [ -n "${2:-}" ] && [[ "$said" =~ $2 ]]; then
        problem "the warning says '$2', which is not true here: $said"
    fi
}

expect_mode() {
    local mode
    mode=$(stat -c %a "$1" 2> /dev/null) || mode="missing"
    [ "$mode" = "$2" ] || problem "'$1' has mode $mode, not $2"
}

# What another user of the machine finds: the control through the system store alone.
listing_for_others() {
    env -i HOME=/nonexistent PATH=/usr/bin:/bin \
        setpriv --reuid=nobody --regid=nogroup --clear-groups "$install_dir/ctlhost" list 2>&1 || true
}

# A machine where the package is installed already gets it purged first, in the overlay.
if [ "$(package_status)" != "not-installed" ]; then
    dpkg_in_overlays --purge corvane > /dev/null || die "could not purge the machine's own copy of the package"
fi

# The damage is made as root under umask 077; what the package leaves of it must be the
# same bytes afterwards, with nothing added beside them.
case $state in
    clean) rm -rf "$store_dir" ;;
    damaged)
        rm -rf "$store_dir"
        mkdir -p "$store_dir"
        printf '{"classes": {"not a registry' > "$store"
        ;;
    blocked)
        rm -rf "$store_dir"
        printf 'a file where the store folder belongs\n' > "$store_dir"
        ;;
    *) die "unknown state of the store '$state'" ;;
esac
damage=$store
if [ "$state" = blocked ]; then damage=$store_dir; fi
snapshot() {
    if [ -d "$store_dir" ]; then ls -A "$store_dir"; fi
    if [ -f "$damage" ]; then cat "$damage"; fi
}
before=$(snapshot)
expect_store_as_it_was() {
    [ "$(snapshot)" = "$before" ] || problem "the damaged store changed: $(snapshot)"
}

run_dpkg install --install "$scratch/package.deb"
expect_status "install ok installed"
if [ "$state" = clean ]; then
    expect_no_warning
    expect_mode "$store_dir" 755
    expect_mode "$store" 644
    listing=$(listing_for_others)
    grep -Eq "^  Lumakey\.btn .* library '$install_dir/Lumakey\.ocx' .* ready$" <<< "$listing" ||
        problem "another user does not find the control as ready: $listing"
else
    expect_warning "not registered"
    expect_store_as_it_was
fi

run_dpkg remove --remove corvane
expect_status "deinstall ok config-files"
if [ "$state" = clean ]; then
    expect_no_warning
    ! grep -qs "Lumakey" "$store" || problem "the store still names the control library: $(cat "$store")"
else
    expect_warning "could not" "stays registered"
    expect_store_as_it_was
fi

run_dpkg purge --purge corvane
expect_status "not-installed"
if [ "$state" = clean ]; then
    expect_no_warning
    [ ! -e "$store_dir" ] || problem "the empty store's folder is still there: $(ls -A "$store_dir")"
else
    expect_store_as_it_was
fi

[ $problems -eq 0 ] || exit 1
