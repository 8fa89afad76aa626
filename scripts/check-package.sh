#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks it as a user's
# machine would see it: the files it holds, its dependencies, lintian, and
# the desktop entry and AppStream metadata as installed.
#
#     scripts/check-package.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: check-package.sh BUILD_DIR}" && pwd)
cd "$build"
rm -f skinshell_*.deb
if ! cpack -G DEB > cpack.log 2>&1; then
  cat cpack.log
  exit 1
fi
deb=$(echo skinshell_*.deb)
[ -f "$deb" ] || { echo "no package was made"; cat cpack.log; exit 1; }

listing=$(dpkg-deb -c "$deb" | awk '{ print $6 $7 $8 }')
status=0
expect=(
  ./usr/lib/skinshell/skinshell
  ./usr/lib/skinshell/html/index.html
  ./usr/lib/skinshell/html/sound.html
  ./usr/lib/skinshell/stype/black-1.jss
  ./usr/lib/skinshell/stype/black-2.jss
  ./usr/bin/skinshell-\>../lib/skinshell/skinshell
  ./usr/bin/skinshell-skin
  ./usr/share/applications/skinshell.desktop
  ./usr/share/metainfo/org.skinshell.Skinshell.metainfo.xml
)
for size in 16 24 32 48 64 128 256; do
  expect+=("./usr/share/icons/hicolor/${size}x${size}/apps/skinshell.png")
done
for path in "${expect[@]}"; do
  path=${path//\\/}
  if ! grep -qxF -- "$path" <<< "$listing"; then
    echo "missing from $deb: $path"
    status=1
  fi
done
# A run from the build folder leaves state there; none of it is shipped.
if grep -E 'installation\.lock|size\.ini|\.tmp' <<< "$listing"; then
  echo "$deb ships a first-run marker, a placement or a temporary file"
  status=1
fi
depends=$(dpkg-deb -f "$deb" Depends)
for library in libwebkit2gtk-4.1 libgtk-3 libpng16; do
  if ! grep -q "$library" <<< "$depends"; then
    echo "Depends lacks $library: $depends"
    status=1
  fi
done

if ! lintian --fail-on error --tag-display-limit 0 "$deb" > lintian.log 2>&1; then
  echo "lintian reports errors:"
  cat lintian.log
  status=1
fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/skinshell.desktop" || status=1
appstreamcli validate --no-net "$root/usr/share/metainfo/org.skinshell.Skinshell.metainfo.xml" \
  > appstream.log 2>&1 || { cat appstream.log; status=1; }
# The icons are pictures of the sizes their folders name.
for size in 16 256; do
  file "$root/usr/share/icons/hicolor/${size}x${size}/apps/skinshell.png" |
    grep -q "PNG image data, $size x $size, 8-bit/color RGBA" ||
    { echo "the ${size}px icon is not a ${size}x${size} RGBA PNG"; status=1; }
done
[ $status -eq 0 ] && echo "$deb: $(stat -c %s "$deb") bytes, checked"
exit $status
