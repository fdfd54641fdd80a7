#!/bin/sh
# Runs a test command inside a private network namespace that has only loopback, so that no
# DDS packet can leave the host whatever the configuration. Where the machine does not allow
# a network namespace, says why and runs the command directly (the stand-in's own
# configuration still keeps it on 127.0.0.1).
set -u
# ip lives in /usr/sbin, which is not on every user's PATH.
PATH="$PATH:/usr/sbin:/sbin"

if [ "${ROS2_STANDIN_NO_NETNS:-0}" = 1 ]; then
  echo "run_isolated: ROS2_STANDIN_NO_NETNS=1, running without a network namespace" >&2
  ROS2_STANDIN_ISOLATION=none exec "$@"
fi

inner='ip link set lo up || exit 97; ROS2_STANDIN_ISOLATION=netns exec "$@"'

if ! command -v unshare >/dev/null 2>&1 || ! command -v ip >/dev/null 2>&1; then
  reason="unshare or ip is not installed"
elif unshare -n ip link set lo up 2>/dev/null; then
  exec unshare -n sh -c "$inner" sh "$@"
elif unshare -r -n ip link set lo up 2>/dev/null; then
  # Unprivileged: a user namespace grants what the network namespace needs.
  exec unshare -r -n sh -c "$inner" sh "$@"
else
  reason="this machine does not permit a network namespace with loopback up (unshare -n)"
fi

echo "run_isolated: $reason; running directly" >&2
ROS2_STANDIN_ISOLATION=none exec "$@"
