#!/usr/bin/env bash
# Compares two runtime folders made by scripts/runtime.sh, for a change of its recipe: piece by
# piece, the members of each archive and, per member, the disassembly with its relocations, the
# section headers, the symbol table and the contents of every section but the debug data and the
# compiler's identification (.rdata$zzz), whose strings are listed apart. Prints one line a piece
# and keeps the differences in the work folder; fails when a piece differs.
#
# assert() and __FILE__ leave the source paths of the build folder in the data, and a longer path
# moves the strings after it. Given the two build folders (<cache>/<name>.work) as PREFIX_A and
# PREFIX_B, of equal length, each is overwritten by the same placeholder before the comparison.
set -uo pipefail
usage="usage: compare-runtimes.sh A B WORK [PREFIX_A PREFIX_B]"
a=${1:?$usage}
b=${2:?$usage}
work=${3:?$usage}
prefix_a=${4:-}
prefix_b=${5:-}
target=i686-w64-mingw32
if [ -n "$prefix_a$prefix_b" ] && [ ${#prefix_a} -ne ${#prefix_b} ]; then
    echo "error: the prefixes differ in length" >&2
    exit 2
fi
placeholder=$(printf '%*s' ${#prefix_a} '' | tr ' ' '@')
rm -rf "$work"
mkdir -p "$work/a" "$work/b"

# objdump names the file it reads; only the member's name is kept.
unnamed() { sed -e 's|^In archive .*|In archive|' -e 's|^[^ ]*/\([^/ ]*:  *file format\)|\1|'; }

# Writes the views of one side's piece into its folder.
views() {
    local in="$1" out="$2" piece="$3"
    case "$piece" in
    *.a) "$target-ar" t "$in" >"$out/$piece.members" ;;
    *) echo "$piece" >"$out/$piece.members" ;;
    esac
    "$target-objcopy" --strip-debug -R '.rdata$zzz' "$in" "$out/$piece.bare"
    "$target-objdump" -dr --no-show-raw-insn "$in" | unnamed >"$out/$piece.code"
    # The file offsets of the sections follow the debug data removed.
    "$target-objdump" -h "$out/$piece.bare" | unnamed |
        sed -E 's/^( *[0-9]+ [^ ]+ +[0-9a-f]+ +[0-9a-f]+ +[0-9a-f]+ +)[0-9a-f]+/\1-/' >"$out/$piece.sections"
    "$target-objdump" -t "$out/$piece.bare" | unnamed >"$out/$piece.symbols"
    "$target-objdump" -s "$out/$piece.bare" | unnamed >"$out/$piece.data"
    strings -a "$in" | grep -o '^GCC: (.*' | sort | uniq -c | sed -E 's/^ *([0-9]+) (.*)/\1 x "\2"/' |
        paste -sd, >"$out/$piece.ident"
}

status=0
for piece in $( (ls -A "$a"; ls -A "$b") | sort -u); do
    [ "$piece" = .complete ] && continue
    if [ ! -f "$a/$piece" ] || [ ! -f "$b/$piece" ]; then
        echo "only in one: $piece"
        status=1
        continue
    fi
    for side in a b; do
        dir=$a prefix=$prefix_a
        [ $side = b ] && dir=$b prefix=$prefix_b
        if [ -n "$prefix" ]; then
            PREFIX="$prefix" PLACEHOLDER="$placeholder" \
                perl -0777 -pe 's/\Q$ENV{PREFIX}\E/$ENV{PLACEHOLDER}/g' "$dir/$piece" >"$work/$side/$piece"
        else
            cp "$dir/$piece" "$work/$side/$piece"
        fi
    done
    if cmp -s "$work/a/$piece" "$work/b/$piece"; then
        echo "same bytes: $piece"
        continue
    fi
    differs=""
    for side in a b; do views "$work/$side/$piece" "$work/$side" "$piece"; done
    for view in members code sections symbols data; do
        if ! diff "$work/a/$piece.$view" "$work/b/$piece.$view" >"$work/$piece.$view.diff"; then
            differs="$differs $view"
        else
            rm "$work/$piece.$view.diff"
        fi
    done
    ident="identification: $(cat "$work/a/$piece.ident") | $(cat "$work/b/$piece.ident")"
    if [ -z "$differs" ]; then
        echo "same members, code, data, symbols and sections: $piece ($ident)"
    else
        echo "DIFFERS in$differs: $piece (see $work/$piece.*.diff; $ident)"
        status=1
    fi
done
exit $status
