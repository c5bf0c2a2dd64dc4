#!/usr/bin/env bash
# Fails on an #include that points up or sideways between the folders of scripts/layers.txt.
# Usage: scripts/check-layers.sh [source root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
table="$root/scripts/layers.txt"
declare -A allowed
folders=()
while read -r folder rest; do
  [[ -z "$folder" || "$folder" == \#* ]] && continue
  folder=${folder%:}
  folders+=("$folder")
  allowed[$folder]="$folder $rest"
done < "$table"

# The folder of the table that holds path: the longest that is a prefix.
room_of() {
  local path=$1 best=""
  for folder in "${folders[@]}"; do
    if [[ "$path" == "$folder/"* && ${#folder} -gt ${#best} ]]; then best=$folder; fi
  done
  printf '%s' "$best"
}

faults=0
cd "$root"
while IFS= read -r file; do
  from=$(room_of "$file")
  [[ -z "$from" ]] && continue
  while IFS= read -r included; do
    to=$(room_of "$included")
    [[ -z "$to" ]] && continue
    if [[ " ${allowed[$from]} " != *" $to "* ]]; then
      echo "$file includes $included: $from may not depend on $to"
      faults=$((faults + 1))
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find orboinout storage shell forms query app cli -name '*.cpp' -o -name '*.h' 2>/dev/null | sort)

if [[ $faults -gt 0 ]]; then
  echo "$faults includes break the layers of scripts/layers.txt"
  exit 1
fi
echo "every include points down"
