#!/usr/bin/env bash
# The two Debian packages built from this build folder: venmarra holds the program, its desktop
# entry, icons, manual page and AppStream entry, and recommends venmarra-devserver, which holds the
# local service, its manual page and the systemd units that start it; each has its changelog and
# copyright. lintian, systemd-analyze, appstreamcli and desktop-file-validate find nothing to say,
# systemd rates the service's sandbox as tight, and hardening-check finds both programs hardened. The Windows version block compiles
# with the MinGW resource compiler and carries the author credit intact.
# usage: packaging_test.sh SOURCE_DIR BUILD_DIR VERSION AUTHOR_CREDIT HARDENED(1: a hardened build)
set -euo pipefail
source_dir=$1 build_dir=$2 version=$3 credit=$4 hardened=$5
fail() { echo "FAIL: $*" >&2; exit 1; }
need() { local tool; for tool; do command -v "$tool" >/dev/null || fail "needs $tool (scripts/bootstrap installs it)"; done; }
need cpack dpkg-deb hardening-check ninja lintian systemd-analyze appstreamcli desktop-file-validate x86_64-w64-mingw32-windres xxd
desktop-file-validate "$source_dir/resources/venmarra.desktop" || fail "the desktop entry is not valid"

scratch=$(mktemp -d) && trap 'rm -rf "$scratch"' EXIT
(cd "$scratch" && cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$scratch/out" >/dev/null) \
    || fail "cpack could not build the package"
program=$scratch/out/venmarra_${version}_amd64.deb service=$scratch/out/venmarra-devserver_${version}_amd64.deb
[ -f "$program" ] && [ -f "$service" ] || fail "expected two packages: $(ls "$scratch/out")"
dpkg-deb -x "$program" "$scratch/root" && dpkg-deb -x "$service" "$scratch/service"
metainfo=usr/share/metainfo/test.venmarra.Venmarra.metainfo.xml
units=(lib/systemd/system/venmarra-devserver.service lib/systemd/system/venmarra-devserver-http.socket
       lib/systemd/system/venmarra-devserver-smtp.socket)
# holds ROOT FILE...: every FILE is in the package unpacked at ROOT
holds() { local file; for file in "${@:2}"; do [ -e "$1/$file" ] || fail "$(basename "$1") lacks /$file"; done; }
holds "$scratch/root" usr/bin/venmarra usr/share/applications/venmarra.desktop \
    usr/share/icons/hicolor/48x48/apps/venmarra.png usr/share/icons/hicolor/scalable/apps/venmarra.svg \
    usr/share/man/man1/venmarra.1.gz usr/share/doc/venmarra/copyright usr/share/doc/venmarra/changelog.gz "$metainfo"
holds "$scratch/service" usr/bin/venmarra-devserver usr/share/man/man1/venmarra-devserver.1.gz \
    usr/share/doc/venmarra-devserver/copyright usr/share/doc/venmarra-devserver/changelog.gz "${units[@]}"
[ -z "$(find "$scratch/root" -name '*devserver*')" ] || fail "the program's package holds the service"
[[ $(dpkg-deb -f "$program" Recommends) == *venmarra-devserver* ]] || fail "the program does not recommend the service"
depends=$(dpkg-deb -f "$program" Depends)
for library in libqt6widgets6 libcurl4; do [[ $depends == *$library* ]] || fail "Depends lacks $library: $depends"; done
[[ $(dpkg-deb -f "$service" Depends) == *libgmime-3.0* ]] || fail "the service does not depend on GMime"
[ "$(dpkg-deb -f "$program" Version)" = "$version" ] || fail "the package version is not $version"

# lintian fails on a finding, and on any trouble running at all.
lintian --fail-on error,warning "$program" "$service" >"$scratch/lintian.log" 2>&1 || fail "lintian: $(cat "$scratch/lintian.log")"
# The units as systemd reads them, beside the system's own targets.
cp -n /lib/systemd/system/*.target "$scratch/service/lib/systemd/system/"
systemd-analyze verify --man=no --root="$scratch/service" "${units[@]/#//}" >"$scratch/verify.log" 2>&1 \
    || fail "systemd-analyze: $(cat "$scratch/verify.log")"
# The service's sandbox: systemd rates its exposure from 0 (none) to 10; 1.0 at the most.
systemd-analyze security --offline=true --threshold=10 --root="$scratch/service" "/${units[0]}" >"$scratch/security.log" 2>&1 \
    || fail "systemd-analyze security: $(grep -E '✗|Overall' "$scratch/security.log")"
appstreamcli validate --no-net --pedantic "$scratch/root/$metainfo" >"$scratch/appstream.log" 2>&1 \
    || fail "appstreamcli: $(cat "$scratch/appstream.log")"
! grep -qE '^[EW]:' "$scratch/appstream.log" || fail "appstreamcli: $(cat "$scratch/appstream.log")"

# Hardening (the sanitizer builds, never shipped, have none): no "no" from hardening-check but for
# control-flow protection, which Debian 12's own start files (Scrt1.o, crti.o, crtn.o) lack; so
# each program is linked again and the linker must name no object without it but the system's.
if [ "$hardened" = 1 ]; then
    for program_file in "$scratch/root/usr/bin/venmarra" "$scratch/service/usr/bin/venmarra-devserver"; do
        report=$(hardening-check "$program_file" 2>&1 || true)
        grep -q 'Stack protected: yes' <<<"$report" && ! grep ': no' <<<"$report" | grep -vq '^ Control flow integrity:' \
            || fail "hardening-check: $report"
    done
    for target in src/qt/venmarra tools/venmarra-devserver; do
        link=$(ninja -C "$build_dir" -t commands "$target" | tail -n 1 | sed 's/^: && //; s/ && :$//')
        [[ $link == *" -o $target "* ]] || fail "no link command for $target: $link"
        unmarked=$(cd "$build_dir" && eval "${link/ -o $target / -o $scratch/relinked } -Wl,-z,cet-report=warning" 2>&1 \
            | sed -n 's/^.*ld: \(.*\): warning: missing IBT and SHSTK properties$/\1/p' | grep -v '^/usr/lib/' || true)
        [ -z "$unmarked" ] || fail "$target holds objects without control-flow protection: $unmarked"
    done
fi

# The version block: windres reads the resource as UTF-8, so the credit arrives as its UTF-16.
x86_64-w64-mingw32-windres -I "$source_dir" -i "$build_dir/venmarra.rc" -O res -o "$scratch/venmarra.res" \
    || fail "windres could not compile the resource"
utf16=$(printf '%s' "$credit" | iconv -f UTF-8 -t UTF-16LE | xxd -p | tr -d '\n')
xxd -p "$scratch/venmarra.res" | tr -d '\n' | grep -q "$utf16" || fail "the version block does not carry \"$credit\""

echo "1 passed, 0 failed: $(basename "$program") and $(basename "$service")"
