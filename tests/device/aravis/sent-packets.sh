#!/bin/sh
# Runs a command in a network namespace of its own with one network
# interface (a veth pair, an IPv4 address, no IPv6), and checks how many
# packets the command sent on it: "none" or "some".
#   sent-packets.sh none|some COMMAND [ARGUMENT...]
# Exit status 77 (skipped) where no namespace can be made.
set -u
expect=$1
shift

if [ "${KELO_IN_NAMESPACE:-}" != 1 ]; then
    for flags in -n -rn; do
        if unshare $flags true 2>/dev/null; then
            KELO_IN_NAMESPACE=1 exec unshare $flags sh "$0" "$expect" "$@"
        fi
    done
    echo "skipped: no network namespace can be made here (unshare -n and -rn refused)"
    exit 77
fi

if ! ip link add kelo0 type veth peer name kelo1 2>/dev/null; then
    echo "skipped: no veth interface can be made in the namespace"
    exit 77
fi
ip link set kelo0 addrgenmode none
ip link set kelo1 addrgenmode none
ip addr add 10.213.0.1/24 dev kelo0
ip link set kelo1 up
ip link set kelo0 up

sent() { awk -F'[: ]+' '$2 == "kelo0" { print $12 }' /proc/net/dev; }
before=$(sent)
"$@" > /dev/null || { echo "the command failed: $*"; exit 1; }
count=$(( $(sent) - before ))
echo "packets sent on kelo0: $count"
case "$expect" in
    none) [ "$count" -eq 0 ] ;;
    some) [ "$count" -gt 0 ] ;;
    *) echo "expect none or some, not $expect"; exit 2 ;;
esac
