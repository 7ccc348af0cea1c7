#!/usr/bin/env bash
# Sets up, builds, starts the reference site server on the bundled demo site (127.0.0.1)
# and opens Pagequill on its home page. The demo password is "demo".
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
port="${PAGEQUILL_DEMO_PORT:-8080}"
log="$(mktemp)"
# Serve a fresh copy, so that publishing in the demo never changes the bundled site.
site="$(mktemp -d)/site"
cp -r demo/site "$site"
PAGEQUILL_SITE_PASSWORD=demo build/bin/pagequill-site --root "$site" --port "$port" \
  --vendor-check --backup-dir "${TMPDIR:-/tmp}/pagequill-demo-backups" >"$log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null' EXIT
for _ in $(seq 50); do grep -q '^listening on' "$log" && break; sleep 0.1; done
url="$(sed -n 's/^listening on //p' "$log" | head -1)"
[ -n "$url" ] || { echo "The demo site server did not start:"; cat "$log"; exit 1; }
echo "Demo site at $url (password: demo)"
if [ -x build/bin/pagequill ]; then
  PAGEQUILL_HOME="${url}index.htm" PAGEQUILL_SERVICE_URL="${url}check.php" build/bin/pagequill
else
  echo "--- the demo home page with its edit spans (pqtool fetch | pqtool addspans):"
  build/bin/pqtool fetch "${url}index.htm" | build/bin/pqtool addspans
fi
