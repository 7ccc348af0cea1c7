#!/usr/bin/env bash
# Fails when a file of src/ includes against the floors: a folder may include only itself and
# the folders on the floors below it (the same table gives each library its include root in the
# top CMakeLists.txt). Also fails when plain code includes a toolkit or engine header: only
# src/engine/, src/app/ and the widgets/ folders may speak GTK, GDK, WebKit or libsoup.
set -euo pipefail
src="${1:-$(dirname "$0")/../../src}"

declare -A may=(
  [core]="core text"
  [text]="core text"
  [pageprep]="core text pageprep"
  [engine]="core text pageprep engine"
  [publishing]="core text pageprep engine publishing"
  [skin]="core text pageprep engine skin"
  [editor]="core text pageprep engine publishing skin editor"
  [shell]="core text pageprep engine publishing skin editor shell"
  [app]="core text pageprep engine publishing skin editor shell app"
)

status=0
upward=""
while IFS= read -r -d '' file; do
  folder="${file#"$src"/}"
  folder="${folder%%/*}"
  if [ -z "${may[$folder]+set}" ]; then
    upward+="$file: the folder $folder has no floor in the table"$'\n'
    continue
  fi
  while IFS=: read -r line included; do
    [ -n "$line" ] || continue
    case " ${may[$folder]} " in
      *" $included "*) ;;
      *) upward+="$file:$line: $folder may not include $included/"$'\n' ;;
    esac
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/' "$file" |
           sed -E 's@^([0-9]+):[^"]*"([a-z_]+)/.*@\1:\2@')
done < <(find "$src" -mindepth 2 -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
if [ -n "$upward" ]; then
  echo "Includes against the floors:"
  printf '%s' "$upward"
  status=1
fi

pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](gtk/|gdk/|gdk-pixbuf/|webkit2/|webkit/|jsc/|libsoup/)'
bad=$(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) \
        -not -path "*/engine/*" -not -path "*/app/*" -not -path "*/widgets/*" -print0 |
      xargs -0 grep -HnE "$pattern" || true)
if [ -n "$bad" ]; then
  echo "Toolkit or engine headers outside src/engine/, src/app/ and widgets/:"
  echo "$bad"
  status=1
fi
[ "$status" -eq 0 ] && echo "layers: every include keeps to its floor; plain code includes no GTK, GDK, WebKit or libsoup header"
exit "$status"
