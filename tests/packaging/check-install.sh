#!/usr/bin/env bash
# The installed files: `cmake --install` into a prefix whose path holds a blank, then the
# desktop entry, the icons and the AppStream metadata as the desktop's tools read them.
#   check-install.sh BUILD_DIR
set -uo pipefail
build_dir=${1:?usage: check-install.sh BUILD_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/opt/quillmark erp"
fail() {
    echo "check-install: $*" >&2
    exit 1
}

cmake --install "$build_dir" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
for file in bin/quillmark-erp bin/quillmark-identity share/applications/quillmark-erp.desktop \
    share/metainfo/com.quillmark.erp.metainfo.xml share/icons/hicolor/scalable/apps/quillmark-erp.svg \
    share/doc/quillmark-erp/copyright share/doc/quillmark-erp/changelog.gz; do
    [[ -f "$prefix/$file" ]] || fail "$file is not installed"
done
for size in 16 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/quillmark-erp.png"
    [[ $(file -b "$icon") == "PNG image data, $size x $size,"* ]] || fail "$icon is not $size px"
done

entry="$prefix/share/applications/quillmark-erp.desktop"
grep -qx "Exec=\"$prefix/bin/quillmark-erp\"" "$entry" || fail "Exec does not name the installed client"
grep -qx "StartupWMClass=QuillmarkERP" "$entry" || fail "StartupWMClass is not the window's class"
# Debian 12's desktop-file-validate predates version 1.5 of the format and its key
# SingleMainWindow; every other complaint counts.
complaints=$(desktop-file-validate "$entry" | grep -v ': hint: ' |
    grep -v -e 'value "1.5" for key "Version" .* is not a known version' \
        -e 'file contains key "SingleMainWindow" in group "Desktop Entry"')
[[ -z $complaints ]] || fail "desktop-file-validate: $complaints"
appstreamcli validate --no-net "$prefix/share/metainfo/com.quillmark.erp.metainfo.xml" >/dev/null ||
    fail "appstreamcli: $(appstreamcli validate --no-net "$prefix/share/metainfo/com.quillmark.erp.metainfo.xml")"
echo "check-install: the installed files are complete and valid"
