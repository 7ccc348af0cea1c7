#!/usr/bin/env bash
# The floor check must catch each kind of upward include that once crept in, and a toolkit
# header in plain code, naming the file and the line; the tree itself must pass.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
src="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

"$here/check_layers.sh" "$src" > /dev/null || { echo "the tree itself fails the check"; exit 1; }

cases=(
  "engine/form_post.h|publishing/publish_flow.h"
  "engine/clipboard.cpp|editor/edit_session.h"
  "editor/edit_control.h|shell/main_form.h"
  "publishing/widgets/message_box.h|editor/edit_control.h"
  "text/utf8.cpp|pageprep/markers.h"
  "publishing/md5.cpp|skin/window_skin.h"
  "pageprep/markers.cpp|<gtk/gtk.h>"
)
failed=0
for c in "${cases[@]}"; do
  file="${c%%|*}"
  included="${c#*|}"
  rm -rf "$work/src" && cp -r "$src" "$work/src"
  case "$included" in
    "<"*) line="#include $included" ;;
    *) line="#include \"$included\"" ;;
  esac
  # Appended, so the line number is the file's new last line.
  printf '%s\n' "$line" >> "$work/src/$file"
  at=$(wc -l < "$work/src/$file")
  if out=$("$here/check_layers.sh" "$work/src" 2>&1); then
    echo "not caught: $line in $file"
    failed=1
  elif ! grep -q "src/$file:$at:" <<< "$out"; then
    echo "caught without naming $file:$at: $out"
    failed=1
  fi
done
[ "$failed" -eq 0 ] && echo "layers: ${#cases[@]} deliberate wrong includes caught, each with its file and line"
exit "$failed"
