#!/usr/bin/env bash
# Checks the include lines of src/ against the ladder of folders: a folder may
# include itself and folders below it, never one above or beside it; only
# src/platform may include SDL, libopenmpt, FFmpeg or Emscripten. Prints each offending line;
# exit status 1 when there is any.
set -euo pipefail
cd "$(dirname "$0")/../src"

# Lowest first. A folder may include any folder that comes before it.
ladder=(base image platform app sound gfx input text efx shell)

rank() {
  local i
  for i in "${!ladder[@]}"; do
    [ "${ladder[$i]}" = "$1" ] && { echo "$i"; return; }
  done
  echo -1
}

status=0
while IFS= read -r line; do
  file=${line%%:*}
  rest=${line#*:}
  rest=${rest#*:}
  target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<<"$rest")
  [[ $target == */* ]] || continue
  from=${file%%/*}
  to=${target%%/*}
  [ "$from" = "$to" ] && continue
  # main.cpp is the program's entry, above every folder.
  [[ $file == */* ]] || continue
  rf=$(rank "$from")
  rt=$(rank "$to")
  if [ "$rf" -lt 0 ] || [ "$rt" -lt 0 ]; then
    echo "src/$file: folder not on the ladder: $line"
    status=1
  elif [ "$rt" -ge "$rf" ]; then
    echo "src/$file includes $target: $to is not below $from"
    status=1
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' --include='*.h' --include='*.cpp' .  | sed 's#^\./##')

system='#[[:space:]]*include[[:space:]]*[<"](SDL|SDL2/|libopenmpt|libav|libsw|emscripten)'
while IFS= read -r line; do
  echo "src/${line#./}: only src/platform may include a system library"
  status=1
done < <(grep -rnE "$system" --include='*.h' --include='*.cpp' . | grep -v '^\./platform/' || true)

exit $status
