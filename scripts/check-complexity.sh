#!/usr/bin/env bash
# Keeps small the functions that once grew too long: the program's entry, the
# BMP decoder's steps, the option reader and the console's commands, measured
# by pmccabe (complexity: decisions + 1, each case of a switch counted). Prints
# each one over its limit; exit status 1 when there is any.
set -euo pipefail
cd "$(dirname "$0")/../src"
command -v pmccabe >/dev/null || { echo "check-complexity: needs pmccabe" >&2; exit 1; }

status=0
over() {
  echo "src/$1: $2"
  status=1
}

lines=$(wc -l <main.cpp)
[ "$lines" -le 150 ] || over main.cpp "$lines lines (at most 150)"

# file, function name pattern, most lines, most complexity
limits=(
  "main.cpp ^main$ 60 15"
  "image/bmp_decoder.cpp . 40 15"
  "shell/options.cpp ^ParseOptions$ 60 20"
  "shell/live_console.cpp ^LiveConsole::(Answer|Help|Time|Fps|GoTo|Pause|Shot|Log|Quit)$ 40 15"
)
for entry in "${limits[@]}"; do
  read -r file pattern most_lines most_complexity <<<"$entry"
  # pmccabe -v columns: modified and traditional complexity, statements, first
  # line, lines, then "file(line): name".
  while read -r _ complexity _ _ length where name; do
    [[ $name =~ $pattern ]] || continue
    [ "$length" -le "$most_lines" ] || over "$file" "$name is $length lines (at most $most_lines)"
    [ "$complexity" -le "$most_complexity" ] || over "$file" "$name has complexity $complexity (at most $most_complexity)"
  done < <(pmccabe "$file" | sed -E 's/anonymous_namespace:://')
done
exit $status
