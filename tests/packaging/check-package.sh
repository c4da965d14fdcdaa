#!/usr/bin/env bash
# The Debian package: built by CPack from the build tree, passed by lintian with no error,
# and extracted into a scratch root (dpkg-deb -x), where its client starts.
#   check-package.sh BUILD_DIR
set -uo pipefail
build_dir=${1:?usage: check-package.sh BUILD_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
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
echo "check-package: $(basename "$deb") is complete, lintian finds no error"
