#!/usr/bin/env bash
# Removes what `make install` put in place, as listed in the install manifest, under the same
# DESTDIR as the installation (the manifest holds the paths without it), and the program's own
# data folder once it is empty.
set -euo pipefail
manifest=${1:?path of install_manifest.txt}
[[ -f "$manifest" ]] || { echo "nothing installed from this build: $manifest missing" >&2; exit 1; }
while IFS= read -r file || [[ -n "$file" ]]; do
  [[ -n "$file" ]] || continue
  file="${DESTDIR:-}$file"
  if [[ -e "$file" || -L "$file" ]]; then
    rm -f -- "$file"
    echo "removed $file"
  fi
  dir=$(dirname -- "$file")
  [[ $(basename -- "$dir") == sorvel ]] && rmdir -- "$dir" 2>/dev/null || true
done <"$manifest"
