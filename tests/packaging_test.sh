#!/usr/bin/env bash
# The desktop entry is valid, and the Debian package built from this build folder installs the
# programs, the desktop entry and the icons, with dependencies read from the binaries.
# usage: packaging_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
desktop-file-validate "$source_dir/resources/venmarra.desktop" || fail "the desktop entry is not valid"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$scratch" && cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$scratch/out" >/dev/null) \
    || fail "cpack could not build the package"
deb=$(ls "$scratch"/out/*.deb)
dpkg-deb -x "$deb" "$scratch/root"
for file in usr/bin/venmarra usr/bin/venmarra-devserver usr/share/applications/venmarra.desktop \
            usr/share/icons/hicolor/48x48/apps/venmarra.png usr/share/icons/hicolor/256x256/apps/venmarra.png \
            usr/share/icons/hicolor/scalable/apps/venmarra.svg; do
    [ -e "$scratch/root/$file" ] || fail "the package lacks /$file"
done
[ -x "$scratch/root/usr/bin/venmarra" ] || fail "venmarra is not executable"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libcurl4 libgmime-3.0; do
    [[ $depends == *$library* ]] || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Version)" = "1.00" ] || fail "the package version is not 1.00"
echo "1 passed, 0 failed: $(basename "$deb") (Depends: $depends)"
