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
bash "$root/scripts/setup.sh" dpkg-dev help2man lintian qt6-svg-dev file

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
