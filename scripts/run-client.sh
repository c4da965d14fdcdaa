#!/usr/bin/env bash
# Runs the client from a build tree: scripts/run-client.sh [BUILD_DIR]   (default: build)
#
# The client's application directory is BUILD_DIR/bin. When its config.ini names no
# [SERVICE] HOST and the build's default host is this machine, the local demo service is
# started on port 6868 first and stopped again when the client ends, including the clients
# it started again itself (重新登录, 清除缓存).
set -euo pipefail

# Internal: `--session BUILD_DIR` runs only the client and its restarts (under xvfb-run).
session_only=
if [[ ${1:-} == --session ]]; then
    session_only=yes
    shift
fi
build_dir=${1:-build}
bin_dir=$build_dir/bin
client=$bin_dir/quillmark-erp
demo_service=$bin_dir/quillmark-demo-service
config=$bin_dir/config.ini
port=6868
service_pid=

say() { echo "run-client: $*"; }
die() {
    echo "run-client: $*" >&2
    exit 1
}

# The value of HOST in section [SERVICE] of config.ini, names compared without regard to
# case as the client does; prints nothing when there is none.
configured_host() {
    [[ -f $config ]] || return 0
    awk '
        { sub(/\r$/, "") }
        /^[ \t]*\[/ {
            section = $0
            gsub(/[ \t]/, "", section)
            in_service = toupper(section) == "[SERVICE]"
            next
        }
        in_service && index($0, "=") {
            key = substr($0, 1, index($0, "=") - 1)
            value = substr($0, index($0, "=") + 1)
            gsub(/^[ \t]+|[ \t]+$/, "", key)
            gsub(/^[ \t]+|[ \t]+$/, "", value)
            gsub(/^"|"$/, "", value)
            if (toupper(key) == "HOST") {
                print value
                exit
            }
        }' "$config"
}

# The host compiled into the client (QUILLMARK_SERVICE_HOST), 127.0.0.1 if unknown.
default_host() {
    local host
    host=$(sed -n 's/^QUILLMARK_SERVICE_HOST:[A-Z]*=//p' "$build_dir/CMakeCache.txt" 2>/dev/null |
        head -n 1)
    echo "${host:-127.0.0.1}"
}

is_this_machine() {
    [[ $1 == localhost || $1 == 127.* || $1 == ::1 ]]
}

# True when something accepts connections on the demo service's port.
port_served() {
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null
}

# shellcheck disable=SC2317  # called from the EXIT trap
stop_demo_service() {
    if [[ -n $service_pid ]] && kill -0 "$service_pid" 2>/dev/null; then
        kill -TERM "$service_pid" 2>/dev/null || true
        wait "$service_pid" 2>/dev/null || true
    fi
}

start_demo_service() {
    if port_served; then
        say "port $port is already served; using that service instead of starting another"
        return
    fi
    [[ -x $demo_service ]] || die "$demo_service not found; build it first (make build)"
    say "starting the demo service on port $port"
    "$demo_service" --port "$port" > >(sed -u 's/^/[demo-service] /') 2>&1 &
    service_pid=$!
    trap stop_demo_service EXIT
    for ((tries = 0; tries < 100; tries++)); do
        port_served && return
        kill -0 "$service_pid" 2>/dev/null || die "the demo service ended at start-up"
        sleep 0.1
    done
    die "the demo service did not answer on port $port within 10 seconds"
}

# The client's instance lock, where the client keeps it: per user and display session.
lock_file() {
    local dir=${XDG_RUNTIME_DIR:-} display=${WAYLAND_DISPLAY:-${DISPLAY:-}} suffix=
    if [[ -z $dir || ! -d $dir || ! -w $dir ]]; then
        dir=${TMPDIR:-}
        [[ -n $dir && -d $dir ]] || dir=/tmp
    fi
    [[ -z $display ]] || suffix=-${display//[^a-zA-Z0-9.-]/_}
    echo "$dir/BrowserQuillmark-$(id -u)$suffix.lock"
}

# A client that restarts itself ends first; the new one takes the lock moments later.
# Waits for each such client in turn, until none comes within five seconds.
await_restarted_clients() {
    local lock tries
    lock=$(lock_file)
    while :; do
        for ((tries = 0; tries < 50; tries++)); do
            flock -n "$lock" true 2>/dev/null || break
            sleep 0.1
        done
        ((tries < 50)) || return 0
        say "the client started again; waiting until it ends"
        flock "$lock" true
    done
}

# The client, then any client it started again; the first client's exit status.
run_session() {
    local status=0
    say "starting $client"
    "$client" || status=$?
    say "the client ended (exit status $status)"
    await_restarted_clients
    return "$status"
}

[[ -x $client ]] || die "$client not found; build it first (make build)"
trap 'exit 130' INT
trap 'exit 143' TERM

if [[ -n $session_only ]]; then
    run_session
    exit
fi

host=$(configured_host)
if [[ -n $host ]]; then
    say "config.ini names the service host $host; not starting the demo service"
else
    host=$(default_host)
    if is_this_machine "$host"; then
        start_demo_service
    else
        say "the client's built-in service host is $host; not starting the demo service"
    fi
fi

status=0
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    command -v xvfb-run >/dev/null || die "no display, and xvfb-run is not installed"
    say "no display (DISPLAY and WAYLAND_DISPLAY are unset): running the client under xvfb-run -a"
    # The whole session on one display, so a restarted client finds it still there.
    xvfb-run -a "$0" --session "$build_dir" || status=$?
else
    run_session || status=$?
fi
exit "$status"
