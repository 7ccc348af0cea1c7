#!/usr/bin/env bash
# Fails when plain code includes a toolkit or engine header: only src/engine/, src/app/ and the
# widgets/ folders may speak GTK, GDK, WebKit or libsoup.
set -euo pipefail
src="${1:-$(dirname "$0")/../../src}"
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](gtk/|gdk/|gdk-pixbuf/|webkit2/|webkit/|jsc/|libsoup/)'
bad=$(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) \
        -not -path "*/engine/*" -not -path "*/app/*" -not -path "*/widgets/*" -print0 |
      xargs -0 grep -HnE "$pattern" || true)
if [ -n "$bad" ]; then
  echo "Toolkit or engine headers outside src/engine/, src/app/ and widgets/:"
  echo "$bad"
  exit 1
fi
echo "layers: plain code includes no GTK, GDK, WebKit or libsoup header"
