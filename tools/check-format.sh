#!/usr/bin/env bash
# Fails on a C++ file that clang-format, with the repository's .clang-format, would change.
# Names each such file and the first lines it would change.
# Usage: check-format.sh [ROOT]   (default: the repository beside this script)
# The style is that of Debian 12's clang-format 14; another version may lay a few lines out
# differently, so the version is printed with the result.
set -uo pipefail

root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
format="${CLANG_FORMAT:-clang-format}"
command -v "$format" >/dev/null || { echo "error: $format is missing: bash scripts/setup.sh installs clang-format"; exit 1; }
[ -f "$root/.clang-format" ] || { echo "error: no .clang-format in $root"; exit 1; }

cd "$root" || exit 1
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp' | sort)
else
    mapfile -t files < <(find . -path ./build -prune -o -type f \( -name '*.h' -o -name '*.cpp' \) -print | sort)
fi
[ ${#files[@]} -gt 0 ] || { echo "error: no C++ files under $root"; exit 1; }

diff_out="$(mktemp)"
trap 'rm -f "$diff_out"' EXIT
bad=0
for file in "${files[@]}"; do
    [ -f "$file" ] || continue
    if ! "$format" --style=file "$file" | diff -u --label "$file" --label "$file (formatted)" "$file" - >"$diff_out"; then
        bad=$((bad + 1))
        echo "error: $file is not formatted: clang-format -i $file"
        head -n 12 "$diff_out" | sed 's/^/    /'
    fi
done
version="$("$format" --version | sed -n 's/.*version \([0-9][0-9.]*\).*/\1/p')"
echo "format: ${#files[@]} files, $bad misformatted (clang-format $version)"
[ "$bad" -eq 0 ]
