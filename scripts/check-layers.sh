#!/usr/bin/env bash
# Fails when a source of a layer includes a header of a layer it may not use. The layers, lowest
# first, are written down in docs/architecture.md; each line below names a layer's folder and the
# folders it may include from (its own always). The longest folder that contains a file decides
# its layer. tools/, tests/, bench/ and skins/ stand above every layer and are not checked.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# The folders of the skinning layer, lowest first; each may use those before it.
skin_windows="skin/windows/core skin/windows/menus skin/windows/forms skin/windows/controls skin/windows/manager"

layers=(
  "classlib/core:"
  "classlib/graphics:classlib/core"
  "classlib/controls:classlib/core classlib/graphics"
  "classlib/db:classlib/core classlib/graphics classlib/controls"
  "classlib/designide:classlib/core classlib/graphics classlib/controls"
  "skin/windows/paint:classlib/core classlib/graphics classlib/controls"
  "skin/data:classlib/core classlib/graphics classlib/controls skin/windows/paint"
  "skin/windows/core:classlib/core classlib/graphics classlib/controls skin/windows/paint skin/data"
  "skin/windows/menus:classlib/core classlib/graphics classlib/controls skin/windows/paint skin/data skin/windows/core"
  "skin/windows/forms:classlib/core classlib/graphics classlib/controls skin/windows/paint skin/data skin/windows/core skin/windows/menus"
  "skin/windows/controls:classlib/core classlib/graphics classlib/controls skin/windows/paint skin/data skin/windows/core skin/windows/menus skin/windows/forms"
  "skin/windows/manager:classlib/core classlib/graphics classlib/controls skin/windows/paint skin/data skin/windows/core skin/windows/menus skin/windows/forms skin/windows/controls"
  "skin/windows:classlib/core classlib/graphics classlib/controls skin/windows/paint skin/data"
  "skin/design:classlib/core classlib/graphics classlib/controls classlib/designide skin/windows/paint skin/data skin/windows $skin_windows"
  "app:classlib/core classlib/graphics classlib/controls classlib/db skin/windows/paint skin/data skin/windows $skin_windows"
)

# The layer of a path: the longest layer folder it lies in (nothing when it lies in none).
layer_of() {
  local path=$1 best="" entry dir
  for entry in "${layers[@]}"; do
    dir=${entry%%:*}
    case "$path" in "$dir"/*) [ ${#dir} -gt ${#best} ] && best=$dir ;; esac
  done
  printf '%s' "$best"
}

allowed() {
  local from=$1 to=$2 entry dir
  [ "$from" = "$to" ] && return 0
  for entry in "${layers[@]}"; do
    dir=${entry%%:*}
    if [ "$dir" = "$from" ]; then
      case " ${entry#*:} " in *" $to "*) return 0 ;; esac
      return 1
    fi
  done
  return 1
}

bad=0
checked=0
while IFS= read -r file; do
  from=$(layer_of "$file")
  [ -n "$from" ] || continue
  while IFS= read -r inc; do
    to=$(layer_of "$inc")
    [ -n "$to" ] || continue
    checked=$((checked + 1))
    if ! allowed "$from" "$to"; then
      echo "layer check: $file ($from) includes $inc ($to), a layer it may not use" >&2
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files -co --exclude-standard -- classlib skin app | grep -E '\.(h|hpp|cpp|c|rc)$')

if [ $checked -eq 0 ]; then
  echo "layer check: no include was checked; the check itself is broken" >&2
  exit 1
fi
[ $bad -eq 0 ] || exit 1
echo "layer check: $checked includes, every one from a layer its includer may use"
