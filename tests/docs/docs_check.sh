#!/usr/bin/env bash
# docs_check.sh SOURCE_DIR: the manual's links lead to its headings, every picture the manual and
# the README show exists, scripts/screenshots takes each of them, and no picture lies unused.
set -euo pipefail
top=$1
manual="$top/docs/manual/admin.html"
readme="$top/README.md"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

ids=$(grep -o ' id="[^"]*"' "$manual" | cut -d'"' -f2 | sort)
duplicates=$(uniq -d <<<"$ids")
[ -z "$duplicates" ] || fail "ids given twice in admin.html: $duplicates"
for target in $(grep -o 'href="#[^"]*"' "$manual" | cut -d'#' -f2 | tr -d '"' | sort -u); do
  grep -qx -- "$target" <<<"$ids" || fail "admin.html links to #$target, which no element has"
done

# Every picture by its path below docs/manual.
used=$( (grep -o 'src="images/[^"]*"' "$manual" | cut -d'"' -f2
         grep -o '](docs/manual/images/[^)]*)' "$readme" | sed 's#^](docs/manual/##; s#)$##') |
        sort -u)
while read -r picture; do
  [ -f "$top/$picture" ] || fail "README.md shows $picture, which does not exist"
  [[ "$picture" == docs/manual/images/* ]] || fail "README.md shows $picture from outside docs/manual/images"
done < <(grep -o '](docs/[^)]*\.png)' "$readme" | sed 's#^](##; s#)$##')
for picture in $used; do
  [ -f "$top/docs/manual/$picture" ] || fail "$picture is shown but does not exist"
done
for file in "$top"/docs/manual/images/*; do
  picture="images/$(basename "$file")"
  grep -qx -- "$picture" <<<"$used" || fail "$picture is shown by no page"
done

taken=$(grep -oE '^ *(shot|main_shot) [a-z]+' "$top/scripts/screenshots" | awk '{print "images/" $2 ".png"}' | sort -u)
[ "$taken" = "$used" ] ||
  fail "scripts/screenshots takes $(tr '\n' ' ' <<<"$taken")but the pages show $(tr '\n' ' ' <<<"$used")"

[ "$failures" -eq 0 ] || exit 1
echo "docs: $(wc -w <<<"$used") pictures, $(grep -o 'href="#' "$manual" | wc -l) links checked"
