#!/usr/bin/env bash
# The packaging test: builds the package (scripts/package.sh), checks its
# content and control fields, installs it on this machine with apt-get, runs
# the installed programs, checks the man pages, the file types and the desktop
# entries as the desktop sees them, then removes it and checks that none of
# its files is left. Needs root (apt-get). The last line counts the checks
# that passed and failed; the exit status is 1 when one failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh" dpkg-dev desktop-file-utils xdg-utils libfile-mimeinfo-perl shared-mime-info man-db file
export DEBIAN_FRONTEND=noninteractive

bash "$root/scripts/package.sh"
deb=$(ls "$root"/build/package/*.deb)
package=$(dpkg-deb -f "$deb" Package)
version=$(dpkg-deb -f "$deb" Version)
project_version=$(sed -n 's/^project([^)]* VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
work=$(mktemp -d)
installed=0
cleanup() {
  if [ "$installed" = 1 ]; then apt-get remove --purge -y -qq "$package" >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
check() { # check NAME COMMAND...: runs the command, counts and reports it
  local name=$1
  shift
  if "$@" >"$work/out" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name"
    sed 's/^/    /' "$work/out" | head -n 20
  fi
}

# --- The package as built ----------------------------------------------------
dpkg-deb -c "$deb" | awk '{ sub(/^\.\//, "", $6); print "/" $6 }' | sed 's|/$||' | grep -v '^/$' >"$work/content"
dpkg-deb -I "$deb" >"$work/info"
doc="/usr/share/doc/$package"
expected=(
  /usr/bin/talvex /usr/bin/talvex-cli /usr/bin/SEDRA /usr/bin/sedra-cli /usr/bin/KIVARO /usr/bin/kivaro-cli
  /usr/bin/talvex-samplegen
  /usr/share/applications/talvex.desktop /usr/share/applications/sedra.desktop /usr/share/applications/kivaro.desktop
  /usr/share/mime/packages/site-seismic-suite.xml
  /usr/share/bash-completion/completions/talvex-cli /usr/share/bash-completion/completions/sedra-cli
  /usr/share/bash-completion/completions/kivaro-cli
  "$doc/copyright" "$doc/changelog.Debian.gz" "$doc/README.md" "$doc/samples/ZK1.qsw" "$doc/samples/ZK1/ZK1&1A.cwd"
  "$doc/samples/ZK1/ZK1&20B.cwd" "$doc/samples/microtremor.cwd"
)
for program in talvex SEDRA KIVARO talvex-cli sedra-cli kivaro-cli talvex-samplegen; do
  expected+=("/usr/share/man/man1/$program.1.gz")
done
for icon in apps/talvex apps/sedra apps/kivaro mimetypes/application-x-talvex-survey \
  mimetypes/application-x-seismic-field-record; do
  expected+=("/usr/share/icons/hicolor/scalable/$icon.svg")
  for size in 16 32 48 256; do
    expected+=("/usr/share/icons/hicolor/${size}x$size/$icon.png")
  done
done
# Every document the build installs (manuals: suite_install_docs).
while read -r path; do
  [ -n "$path" ] && expected+=("/usr/$path")
done <"$root/build/package-build/package-docs.txt"
missing_files() {
  local path missing=0
  for path in "${expected[@]}"; do
    if ! grep -qxF "$path" "$work/content"; then
      echo "missing: $path"
      missing=1
    fi
  done
  return $missing
}
check "every expected file is in the package" missing_files
check "at least one manual as PDF and as HTML" \
  bash -c "grep -q '^$doc/.*\.pdf\$' '$work/content' && grep -q '^$doc/.*\.html\$' '$work/content'"
check "nothing from the build's tests, benchmarks or build folders" \
  bash -c "! grep -E '/(tests|bench|fuzz|CMakeFiles|_CPack_Packages)(/|\$)|_test\$|_tests\$|\.o\$|\.a\$' '$work/content'"
check "everything under /usr" bash -c "! grep -v '^/usr' '$work/content'"
check "name and version from the project" test "$version" = "$project_version-1"
check "control fields" bash -c "grep -q '^ Section: science' '$work/info' && grep -q '^ Priority: optional' '$work/info' \
  && grep -q '^ Maintainer: .*<.*@.*>' '$work/info' && grep -q '^ Description: ' '$work/info'"
check "Depends computed from the libraries" \
  bash -c "grep '^ Depends:' '$work/info' | grep -q 'libqt6widgets6' && grep '^ Depends:' '$work/info' | grep -q 'libc6 (>='"

dpkg-deb -x "$deb" "$work/root"
for page in "$work"/root/usr/share/man/man1/*.1.gz; do
  check "man -l renders $(basename "$page")" \
    bash -c "LANG=C.UTF-8 MANWIDTH=100 man -l '$page' 2>/dev/null | grep -q -- '--help'"
done

# --- Installed -----------------------------------------------------------------
# A machine whose dpkg leaves out manuals or documentation (path-exclude, as
# minimal container images do) cannot show the installed package whole.
if grep -rsqE '^path-exclude[= ]+/usr/share/(man|doc)' /etc/dpkg/dpkg.cfg /etc/dpkg/dpkg.cfg.d; then
  echo "package-test: dpkg on this machine leaves out /usr/share/man or /usr/share/doc (path-exclude in /etc/dpkg)" >&2
  exit 1
fi
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
  apt-get remove --purge -y -qq "$package" >/dev/null
fi
apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
installed=1
export QT_QPA_PLATFORM=offscreen
check "talvex-cli --version prints the project version" \
  bash -c "talvex-cli --version | grep -qx 'talvex-cli $project_version'"
check "sedra-cli --help" bash -c "sedra-cli --help | grep -q acquire"
check "kivaro-cli --help" bash -c "kivaro-cli --help | grep -q download"
check "the installed talvex-samplegen writes records" talvex-samplegen --out "$work/gen" --depth 3
check "talvex-cli reads the installed sample survey" \
  bash -c "talvex-cli info '$doc/samples/ZK1.qsw' | grep -q '^20 个测点，5 个速度分层'"
check "man -w talvex-cli" bash -c "man -w talvex-cli | grep -qx /usr/share/man/man1/talvex-cli.1.gz"
for program in talvex SEDRA KIVARO talvex-cli sedra-cli kivaro-cli talvex-samplegen; do
  check "man page of $program renders" bash -c "LANG=C.UTF-8 MANWIDTH=100 man $program 2>/dev/null | grep -q -- '--help'"
done
check "bash completes talvex-cli commands" bash -c "source /usr/share/bash-completion/completions/talvex-cli
  COMP_WORDS=(talvex-cli exp); COMP_CWORD=1; _talvex_cli_complete; [ \"\${COMPREPLY[*]}\" = export ]"
cp "$doc/samples/ZK1.qsw" "$work/survey.qsw"
cp "$doc/samples/ZK1.qsw" "$work/noname"
cp "$doc/samples/microtremor.cwd" "$work/RECORD.CWD"
check "xdg-mime names the survey type" bash -c "[ \"\$(xdg-mime query filetype '$work/survey.qsw')\" = application/x-talvex-survey ]"
check "a survey without its extension is known by its first bytes" \
  bash -c "[ \"\$(xdg-mime query filetype '$work/noname')\" = application/x-talvex-survey ]"
check "xdg-mime names the field record type" \
  bash -c "[ \"\$(xdg-mime query filetype '$work/RECORD.CWD')\" = application/x-seismic-field-record ]"
check "a survey opens with talvex" \
  bash -c "[ \"\$(xdg-mime query default application/x-talvex-survey)\" = talvex.desktop ]"
check "a field record opens with SEDRA" \
  bash -c "[ \"\$(xdg-mime query default application/x-seismic-field-record)\" = sedra.desktop ]"
check "desktop-file-validate on the installed entries" desktop-file-validate \
  /usr/share/applications/talvex.desktop /usr/share/applications/sedra.desktop /usr/share/applications/kivaro.desktop
check "the installed files are the package's" bash -c "dpkg -L '$package' >/dev/null && dpkg --verify '$package'"

# --- Removed -------------------------------------------------------------------
apt-get remove --purge -y -qq "$package" >/dev/null
installed=0
left_over() {
  local path left=0
  while read -r path; do
    if [ -e "$path" ] && [ ! -d "$path" ]; then
      echo "left: $path"
      left=1
    fi
  done <"$work/content"
  [ -d "$doc" ] && { echo "left: $doc"; left=1; }
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "installed" && { echo "still known to dpkg"; left=1; }
  grep -q 'x-talvex-survey' /usr/share/mime/globs2 && { echo "left in the MIME database"; left=1; }
  return $left
}
check "nothing of the package is left after removal" left_over
check "no man page after removal" bash -c "! man -w talvex-cli"

echo "package-test: $passed passed, $failed failed"
[ "$failed" = 0 ]
