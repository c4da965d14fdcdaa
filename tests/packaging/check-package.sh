#!/usr/bin/env bash
# The Debian package: built by CPack from the build tree, passed by lintian with no error,
# and extracted into a scratch root (dpkg-deb -x), where its client starts.
#   check-package.sh BUILD_DIR
set -uo pipefail
build_dir=${1:?usage: check-package.sh BUILD_DIR}
work=$(mktemp -d)
client=
stop_client() {
    [[ -n $client ]] && kill -TERM -- "-$client" 2>/dev/null && wait "$client" 2>/dev/null
    client=
}
trap 'stop_client; chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() {
    echo "check-package: $*" >&2
    exit 1
}

(cd "$build_dir" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
    fail "cpack failed: $(cat "$work/cpack.log")"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
deb="$work/out/quillmark-erp_${version}_$(dpkg --print-architecture).deb"
[[ -f $deb ]] || fail "no $(basename "$deb") in $(ls "$work/out")"

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
identity=$("$work/root/usr/bin/quillmark-identity") || fail "the packaged quillmark-identity fails"
grep -q '^StartUrl=http://' <<<"$identity" || fail "quillmark-identity printed: $identity"

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
for ((i = 0; i < 300; i++)); do
    grep -q '^HANDLE=' "$data/config.ini" 2>/dev/null && [[ -d $data/cache ]] && break
    kill -0 "$client" 2>/dev/null || fail "the packaged client ended: $(cat "$work/client.log")"
    sleep 0.1
done
stop_client
grep -q '^DEBUGPORT=0$' "$data/config.ini" || fail "the user's config.ini lost its lines"
grep -q '^HANDLE=' "$data/config.ini" || fail "the packaged client wrote no HANDLE into $data/config.ini"
[[ -d $data/cache ]] || fail "the packaged client made no cache in $data"
written=$(find "$work/root" -newer "$work/before-start")
[[ -z $written ]] || fail "the packaged client wrote into its installation: $written"
echo "check-package: $(basename "$deb") is complete, lintian finds no error, and its client" \
    "keeps its files in the per-user data directory"
