#!/usr/bin/env bash
# Checks the include lines of src/ against the ladder of folders: a folder may
# include itself and folders below it, never one above or beside it; only the
# host may include SDL, libopenmpt or Emscripten, only the recorder FFmpeg,
# and only the PNG writer libpng and zlib. Prints each offending line; exit
# status 1 when there is any.
set -euo pipefail
cd "$(dirname "$0")/../src"

# Lowest first. A folder may include any folder that comes before it.
# host: the modern services (presentation, clock, mixer, web page); recorder:
# the video files; winapi: the stand-ins for the old system calls.
ladder=(base image host recorder winapi app sound gfx input text efx shell)

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

# One owner for each outside library: SDL, libopenmpt and Emscripten belong to
# the host, FFmpeg to the recorder. Outside the host no file names SDL or
# libopenmpt at all, not even in a comment: they are the host's business.
owners=("host:SDL|SDL2/|libopenmpt|emscripten" "recorder:libav|libsw")
for entry in "${owners[@]}"; do
  room=${entry%%:*}
  while IFS= read -r line; do
    echo "src/${line#./}: only $room includes this library"
    status=1
  done < <(grep -rnE "#[[:space:]]*include[[:space:]]*[<\"](${entry#*:})" --include='*.h' --include='*.cpp' . |
    grep -vE "^\./$room/" || true)
done
while IFS= read -r file; do
  echo "src/${file#./}: names SDL or libopenmpt outside the host"
  status=1
done < <(grep -rlE 'SDL|openmpt' --include='*.h' --include='*.cpp' . | grep -vE '^\./host/' || true)
# The host headers the other rooms include show none of its libraries' types.
while IFS= read -r header; do
  if grep -nE '\b(SDL_[A-Za-z]+|openmpt_[a-z_]+)\b' "$header" | grep -v '^[0-9]*:[[:space:]]*//' >/dev/null; then
    echo "src/$header: a host header other rooms include names a library type"
    status=1
  fi
done < <(grep -rhoE '#[[:space:]]*include[[:space:]]*"host/[a-z_]+\.h"' --include='*.h' --include='*.cpp' --exclude-dir=host . |
  sed -E 's/.*"(host\/[a-z_]+\.h)"/\1/' | sort -u)

# The picture encoder is the one place for libpng and zlib, and the module
# loader the one place for the dynamic loader.
others='#[[:space:]]*include[[:space:]]*[<"](png\.h|pngconf\.h|zlib\.h|dlfcn\.h)'
while IFS= read -r line; do
  echo "src/${line#./}: this system library belongs to another file"
  status=1
done < <(grep -rnE "$others" --include='*.h' --include='*.cpp' . |
  grep -vE '^\./image/png_writer\.cpp:[0-9]+:#[[:space:]]*include[[:space:]]*<(png|pngconf|zlib)\.h>' |
  grep -vE '^\./recorder/recorder_module\.cpp:[0-9]+:#[[:space:]]*include[[:space:]]*<dlfcn\.h>' || true)

exit $status
