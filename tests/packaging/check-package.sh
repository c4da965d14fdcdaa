#!/usr/bin/env bash
# The Debian package: built by CPack from the build tree, passed by lintian with no error,
# and extracted into a scratch root (dpkg-deb -x), where its client opens the start page of
# the build's demo service and ends in order on SIGTERM. A package for another architecture
# (a cross build) runs the same way under qemu's user-mode emulation, which is slow: it is
# given ten times as long.
#   check-package.sh BUILD_DIR
set -uo pipefail
build_dir=${1:?usage: check-package.sh BUILD_DIR}
work=$(mktemp -d)
client=
service=
# Ends whatever is left of a process group.
end_group() {
    [[ -n $1 ]] && kill -KILL -- "-$1" 2>/dev/null && wait "$1" 2>/dev/null
}
trap 'end_group "$client"; end_group "$service"; chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() {
    echo "check-package: $*" >&2
    exit 1
}

(cd "$build_dir" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
    fail "cpack failed: $(cat "$work/cpack.log")"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
arch=$(sed -n 's/^set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "\(.*\)")$/\1/p' "$build_dir/CPackConfig.cmake")
deb="$work/out/quillmark-erp_${version}_${arch}.deb"
[[ -f $deb ]] || fail "no $(basename "$deb") in $(ls "$work/out")"
[[ $(dpkg-deb -f "$deb" Architecture) == "$arch" ]] ||
    fail "the package says Architecture: $(dpkg-deb -f "$deb" Architecture), not $arch"

dpkg-deb -f "$deb" Depends | grep -q 'libqt6webenginewidgets6' ||
    fail "the engine is not among the dependencies: $(dpkg-deb -f "$deb" Depends)"
lintian "$deb" >"$work/lintian.log" 2>&1
if grep -q '^E: ' "$work/lintian.log"; then
    fail "lintian: $(grep '^E: ' "$work/lintian.log")"
fi
sed -n 's/^W: /check-package: lintian warning: /p' "$work/lintian.log"

dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x failed"
for file in usr/bin/quillmark-erp usr/share/applications/quillmark-erp.desktop \
    usr/share/icons/hicolor/48x48/apps/quillmark-erp.png; do
    [[ -f "$work/root/$file" ]] || fail "$file is not in the package"
done
case $arch in
amd64) machine="x86-64" ;;
arm64) machine="ARM aarch64" ;;
*) machine="" ;;
esac
[[ $(file -b "$work/root/usr/bin/quillmark-erp") == "ELF 64-bit LSB pie executable, $machine,"* ]] ||
    fail "the packaged client is not a $arch program: $(file -b "$work/root/usr/bin/quillmark-erp")"
patience=300 # tenths of a second
if [[ $arch != "$(dpkg --print-architecture)" ]]; then
    # The engine's helper program is of this machine's architecture here (both cannot be
    # installed at once): the target's own, taken from its Debian package, stands in.
    patience=3000
    helper=libqt6webenginecore6-bin
    (cd "$work" && apt-get download -qq \
        "$helper:$arch=$(dpkg-query -W -f='${Version}' "libqt6webenginecore6:$arch")") \
        >"$work/download.log" 2>&1 || fail "no $helper:$arch: $(cat "$work/download.log")"
    dpkg-deb -x "$work/${helper}_"*"_$arch.deb" "$work/engine" || fail "$helper:$arch is broken"
    export QTWEBENGINEPROCESS_PATH="$work/engine/usr/lib/qt6/libexec/QtWebEngineProcess"
fi
identity=$("$work/root/usr/bin/quillmark-identity") || fail "the packaged quillmark-identity fails"
grep -q '^StartUrl=http://' <<<"$identity" || fail "quillmark-identity printed: $identity"

# The build's demo service, where the client's built-in service host finds it.
setsid "$build_dir/bin/quillmark-demo-service" --port 6868 >"$work/service.log" 2>&1 &
service=$!

# The packaged client, from an installation nobody may write: its files go to the
# per-user data directory, which holds the user's own settings (no debugging port here).
chmod -R a-w "$work/root"
data="$work/data/QuillmarkERP"
mkdir -p "$data" "$work/run" && chmod 700 "$work/run"
printf '[SYSTEM]\nDEBUGPORT=0\n' >"$data/config.ini"
touch "$work/before-start"
XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run" HOME="$work" QT_QPA_PLATFORM=offscreen \
    setsid "$work/root/usr/bin/quillmark-erp" >"$work/client.log" 2>&1 &
client=$!
for ((i = 0; i < patience; i++)); do
    grep -q 'start tab loaded' "$work/client.log" && break
    kill -0 "$client" 2>/dev/null || fail "the packaged client ended: $(cat "$work/client.log")"
    sleep 0.1
done
grep -q '^GET / 200' "$work/service.log" && grep -q 'start tab loaded' "$work/client.log" ||
    fail "the start page was not loaded: $(cat "$work/client.log" "$work/service.log")"
kill -TERM "$client"
(sleep $((patience / 10)) && kill -KILL -- "-$client") >/dev/null 2>&1 &
watchdog=$!
wait "$client"
status=$?
pkill -P "$watchdog"
left=$(ps -o stat=,pid=,args= -s "$client" | grep -v "^Z")
client=
((status == 0)) || fail "the client ended with status $status on SIGTERM: $(cat "$work/client.log")"
[[ -z $left ]] || fail "the client's processes outlived it: $left"
grep -q '^DEBUGPORT=0$' "$data/config.ini" || fail "the user's config.ini lost its lines"
grep -q '^HANDLE=' "$data/config.ini" || fail "the packaged client wrote no HANDLE into $data/config.ini"
[[ -d $data/cache ]] || fail "the packaged client made no cache in $data"
written=$(find "$work/root" -newer "$work/before-start")
[[ -z $written ]] || fail "the packaged client wrote into its installation: $written"
echo "check-package: $(basename "$deb") is complete, lintian finds no error, and its client" \
    "opens the start page, ends in order and keeps its files in the per-user data directory"
