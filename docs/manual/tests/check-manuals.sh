#!/usr/bin/env bash
# Builds the user manuals and checks them as a reader would find them: for
# each program a PDF and an HTML page, every picture the HTML shows present
# beside it, every window and dialog the screenshot tool drew shown in the
# manual (and, where tests/<program>.pictures lists them, each of the listed
# ones drawn), the pictures in the PDF too, the command-line usage inserted.
#   check-manuals.sh BUILD-DIR MANUAL-DIR REPORT.xml PROGRAM...
# Each program's manual is one test case of the JUnit report REPORT.xml (the
# build of the manuals another), which the test run counts.
set -euo pipefail
build=$1
manuals=$2
report=$3
shift 3

cases=()
# case_result NAME FAILURES-BEFORE: one test case, failed when failures grew.
case_result() {
  if [ "$failures" -gt "$2" ]; then
    cases+=("<testcase name=\"$1\"><failure message=\"see the test's output\"/></testcase>")
  else
    cases+=("<testcase name=\"$1\"/>")
  fi
}
write_report() {
  local bad=0 c
  for c in "${cases[@]}"; do [[ "$c" == *"<failure"* ]] && bad=$((bad + 1)); done
  {
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo "<testsuite name=\"manuals\" tests=\"${#cases[@]}\" failures=\"$bad\" errors=\"0\">"
    printf '%s\n' "${cases[@]}"
    echo '</testsuite>'
  } >"$report"
}

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! cmake --build "$build" --target manuals; then
  fail "the manuals do not build"
  case_result build 0
  write_report
  exit 1
fi
case_result build 0

for program in "$@"; do
  before=$failures
  pdf="$manuals/$program.pdf"
  html="$manuals/$program/index.html"
  [ -s "$pdf" ] || fail "$pdf is missing"
  [ -s "$html" ] || fail "$html is missing"
  if [ ! -s "$html" ]; then
    case_result "$program" "$before"
    continue
  fi

  # Every picture the page shows is there.
  mapfile -t shown < <(grep -o '<img src="[^"]*"' "$html" | sed 's/<img src="//; s/"$//' | sort -u)
  [ "${#shown[@]}" -gt 0 ] || fail "$program: the HTML shows no picture"
  for src in "${shown[@]}"; do
    [ -s "$manuals/$program/$src" ] || fail "$program: picture $src is missing"
  done

  # Every window and dialog drawn is shown somewhere in the manual.
  drawn=0
  for png in "$manuals/$program"/images/*.png; do
    drawn=$((drawn + 1))
    name="images/$(basename "$png")"
    printf '%s\n' "${shown[@]}" | grep -qxF "$name" || fail "$program: $name is drawn but not shown in the manual"
  done
  [ "$drawn" -ge 5 ] || fail "$program: only $drawn pictures drawn"

  # A program whose windows are listed (tests/<program>.pictures) has each
  # of them drawn and shown: a mode or dialog the tool stops drawing fails.
  list="$(dirname "$0")/$program.pictures"
  if [ -f "$list" ]; then
    while read -r picture; do
      case "$picture" in '' | '#'*) continue ;; esac
      [ -s "$manuals/$program/images/$picture.png" ] || fail "$program: $picture.png is not drawn"
      printf '%s\n' "${shown[@]}" | grep -qxF "images/$picture.png" || fail "$program: $picture.png is not shown"
    done <"$list"
  fi

  # The PDF has pages and holds the pictures.
  if command -v pdfinfo >/dev/null; then
    pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
    [ "${pages:-0}" -ge 3 ] || fail "$program: the PDF has ${pages:-no} pages"
  fi
  if command -v pdfimages >/dev/null; then
    images=$(pdfimages -list "$pdf" | tail -n +3 | awk '$3 == "image"' | wc -l)
    [ "$images" -ge "${#shown[@]}" ] || fail "$program: the PDF holds $images pictures, the HTML ${#shown[@]}"
  fi
  if command -v pdftotext >/dev/null; then
    # Chinese text came out as text (a font was found), and the usage was inserted.
    text=$(pdftotext "$pdf" -)
    grep -q "用户手册" <<<"$text" || fail "$program: no Chinese title in the PDF text"
    grep -q -- "--help" <<<"$text" || fail "$program: no command-line usage in the PDF"
  fi
  grep -q "<!-- insert" "$html" && fail "$program: an insert was left unfilled"
  echo "$program: ${#shown[@]} pictures, ${pages:-?} pages"
  case_result "$program" "$before"
done
write_report

[ "$failures" -eq 0 ] || exit 1
echo "manuals OK"
