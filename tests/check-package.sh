#!/usr/bin/env bash
# The Debian package as a user meets it: made from this build by scripts/package.sh; its files,
# dependencies, desktop entry, metainfo and lintian's verdict; then its program, unpacked where
# no user can write, run by an unprivileged user with a home of its own (tst_realwindow).
#   check-package.sh BUILD_FOLDER VERSION APP_ID TST_REALWINDOW
set -euo pipefail
build=$1 version=$2 id=$3 realwindow=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

deb=$("$(dirname "$0")/../scripts/package.sh" "$build" | tail -n 1)
[ "$(basename "$deb")" = "quarzello_${version}_amd64.deb" ] || fail "package named $deb"
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in bin/quarzello share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
  share/icons/hicolor/scalable/apps/$id.svg share/doc/quarzello/copyright \
  share/doc/quarzello/changelog.gz share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$id.png; do
  grep -qx "./usr/$f" <<<"$files" || fail "no /usr/$f in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in fonts-liberation fonts-dejavu-core qt6-translations-l10n qt6-qpa-plugins libqt6widgets6 libcups2; do
  grep -qE "(^|, )$d( |,|$)" <<<"$depends" || fail "$d not in Depends: $depends"
done
lintian --allow-root --fail-on error "$deb"

root=$(mktemp -d)
trap 'chmod -R u+w "$root"; rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
file "$root/usr/bin/quarzello" | grep -q ", stripped" || fail "the program is not stripped"
desktop-file-validate "$root/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml"
# Readable by all, writable by none but root, as under /usr.
chmod -R a+rX,a-w "$root"
QUARZELLO_INSTALLED="$root/usr/bin/quarzello" "$realwindow" keepsDataInTheUsersFolderWhenInstalled
