#!/usr/bin/env bash
# The Debian package built from this build folder installs the programs, the desktop entry, the
# icons, the manual pages, the AppStream entry, the changelog and the copyright, and lintian,
# appstreamcli and desktop-file-validate find nothing to say. The Windows version block compiles
# with the MinGW resource compiler and carries the author credit intact. Fuzzing's findings stay
# out of the repository.
# usage: packaging_test.sh SOURCE_DIR BUILD_DIR VERSION AUTHOR_CREDIT
set -euo pipefail
source_dir=$1 build_dir=$2 version=$3 credit=$4
fail() { echo "FAIL: $*" >&2; exit 1; }
desktop-file-validate "$source_dir/resources/venmarra.desktop" || fail "the desktop entry is not valid"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$scratch" && cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$scratch/out" >/dev/null) \
    || fail "cpack could not build the package"
deb=$(ls "$scratch"/out/*.deb)
dpkg-deb -x "$deb" "$scratch/root"
metainfo=usr/share/metainfo/test.venmarra.Venmarra.metainfo.xml
for file in usr/bin/venmarra usr/bin/venmarra-devserver usr/share/applications/venmarra.desktop \
            usr/share/icons/hicolor/48x48/apps/venmarra.png usr/share/icons/hicolor/scalable/apps/venmarra.svg \
            usr/share/man/man1/venmarra.1.gz usr/share/man/man1/venmarra-devserver.1.gz \
            usr/share/doc/venmarra/copyright usr/share/doc/venmarra/changelog.gz "$metainfo"; do
    [ -e "$scratch/root/$file" ] || fail "the package lacks /$file"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libcurl4 libgmime-3.0; do
    [[ $depends == *$library* ]] || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package version is not $version"

findings=$(lintian "$deb" 2>&1 | grep -E '^[EWX]:' || true)
[ -z "$findings" ] || fail "lintian: $findings"
appstreamcli validate --no-net --pedantic "$scratch/root/$metainfo" >"$scratch/appstream.log" 2>&1 \
    || fail "appstreamcli: $(cat "$scratch/appstream.log")"
! grep -qE '^[EW]:' "$scratch/appstream.log" || fail "appstreamcli: $(cat "$scratch/appstream.log")"

# The version block: windres reads the resource as UTF-8, so the credit arrives as its UTF-16.
x86_64-w64-mingw32-windres -I "$source_dir" -i "$build_dir/venmarra.rc" -O res -o "$scratch/venmarra.res" \
    || fail "windres could not compile the resource"
utf16=$(printf '%s' "$credit" | iconv -f UTF-8 -t UTF-16LE | xxd -p | tr -d '\n')
xxd -p "$scratch/venmarra.res" | tr -d '\n' | grep -q "$utf16" || fail "the version block does not carry \"$credit\""

cd "$source_dir"
[ -z "$(git ls-files 'crash-*' 'leak-*' 'timeout-*' 'oom-*')" ] || fail "fuzzing findings are committed"
for finding in crash-0 leak-0 timeout-0 oom-0; do
    git check-ignore -q "$finding" || fail ".gitignore lets fuzzing findings such as $finding in"
done
echo "1 passed, 0 failed: $(basename "$deb") (Depends: $depends)"
