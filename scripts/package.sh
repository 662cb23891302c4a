#!/usr/bin/env bash
# Builds the Debian package of the suite: a Release build in
# build/package-build (hardened as Debian builds its packages, through ccache
# when it is there) of the programs, the manual and the package's extras,
# then CPack's DEB generator. The package lands in build/package/ and its
# path is the last line printed; lintian's findings are printed before it,
# and an error among them fails the script.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/setup.sh" dpkg-dev help2man lintian qt6-svg-dev file desktop-file-utils shared-mime-info

# The hand-written parts first: the menu entries and the file types.
desktop-file-validate "$root"/packaging/desktop/*.desktop
mime_check=$(mktemp -d)
trap 'rm -rf "$mime_check"' EXIT
mkdir -p "$mime_check/mime/packages"
cp "$root/packaging/mime/site-seismic-suite.xml" "$mime_check/mime/packages/"
update-mime-database "$mime_check/mime" >"$mime_check/log" 2>&1 || true
if grep -qiE 'fail|error|invalid|unknown' "$mime_check/log" \
  || ! grep -q ':application/x-talvex-survey:\*\.qsw$' "$mime_check/mime/globs2" \
  || ! grep -q ':application/x-seismic-field-record:\*\.cwd$' "$mime_check/mime/globs2" \
  || [ "$(grep -ac '^\[50:application/x-' "$mime_check/mime/magic")" != 2 ]; then
  cat "$mime_check/log" >&2
  echo "package.sh: packaging/mime/site-seismic-suite.xml does not define both file types with their magic" >&2
  exit 1
fi

build="$root/build/package-build"
out="$root/build/package"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Debian's hardening (stack protector, fortified calls, read-only relocations
# bound at start), without the debugging information the package strips anyway.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DSUITE_PACKAGING=ON -DSUITE_BENCHMARKS=OFF "${launcher[@]}" \
  "-DCMAKE_CXX_FLAGS=-fstack-protector-strong -Wformat -Werror=format-security -D_FORTIFY_SOURCE=2" \
  "-DCMAKE_EXE_LINKER_FLAGS=-Wl,-z,relro -Wl,-z,now" -Wno-dev >/dev/null
log="$build/package-build.log"
if ! cmake --build "$build" --target package_contents >"$log" 2>&1; then
  tail -n 40 "$log"
  echo "package.sh: the build failed (whole log: $log)" >&2
  exit 1
fi

rm -rf "$build/cpack"
(cd "$build" && cpack -G DEB >/dev/null)
rm -rf "$out"
mkdir -p "$out"
cp "$build"/cpack/*.deb "$out/"
deb=$(ls "$out"/*.deb)

echo "lintian:"
if ! lintian --tag-display-limit 0 "$deb"; then
  echo "package.sh: lintian found errors in $deb" >&2
  exit 1
fi
echo "$deb"
