#!/usr/bin/env bash
# Compiles, for syntax only, every source the Windows build uses differently:
# the Windows-only files (win*.cpp) and every other file with a Windows branch
# (Q_OS_WIN, _WIN32), with MinGW's compiler and headers and Qt's own headers,
# so that code no Linux build reaches cannot rot unseen.
#   check-windows-sources.sh [ROOT]
# Prints each file; fails, naming the file, on the first error or warning.
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cxx=${MINGW_CXX:-x86_64-w64-mingw32-g++-posix}
if ! command -v "$cxx" >/dev/null; then
    echo "windows sources: $cxx is missing (g++-mingw-w64-x86-64-posix)"
    exit 1
fi
qglobal=$(find /usr/include -maxdepth 4 -path '*/qt6/QtCore/qglobal.h' | head -n 1)
if [ -z "$qglobal" ]; then
    echo "windows sources: Qt 6 headers not found"
    exit 1
fi
qt=$(dirname "$(dirname "$qglobal")")
mkspecs=$(find /usr/lib -maxdepth 4 -type d -path '*/qt6/mkspecs/linux-g++' | head -n 1)

flags=(-std=c++20 -fsyntax-only -Wall -Wextra -Wshadow -Werror -I"$root"
    -isystem "$qt" -isystem "$mkspecs"
    -DQT_NO_CAST_FROM_ASCII -DUNICODE -D_UNICODE
    -DPROJECT_VERSION='"0.0.0"' -DSEDRA_VERSION='"0.0.0"' -DTALVEX_VERSION='"0.0.0"' -DTALVEX_SUPPORT_URL='""')
for module in QtCore QtGui QtWidgets QtPrintSupport QtSerialPort QtConcurrent; do
    flags+=(-isystem "$qt/$module")
done

cd "$root"
mapfile -t files < <({
    git ls-files '*/win*.cpp'
    git grep -l -E 'Q_OS_WIN|_WIN32' -- '*.cpp'
} | grep -v -E '(^|/)(tests|bench|fuzz)/' | sort -u)

status=0
for f in "${files[@]}"; do
    echo "-- $f"
    if ! "$cxx" "${flags[@]}" "$f"; then
        echo "windows sources: $f does not compile for Windows"
        status=1
    fi
done
exit $status
