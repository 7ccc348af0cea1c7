#!/usr/bin/env bash
# Sets up, builds, starts the reference site server on a fresh copy of the bundled demo site
# (127.0.0.1) and opens Pagequill on its home page. The demo password is "demo".
# PAGEQUILL_DEMO_PORT chooses the port (default 8080). PAGEQUILL_DEMO_TLS=1 serves the demo over
# https instead, with a certificate of a throwaway authority made for this run, which only this
# Pagequill is told to trust (PAGEQUILL_EXTRA_CA); the system's trust store is not touched.
# Everything the run writes goes to one temporary folder, removed when Pagequill closes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

# Build quietly: only the files being compiled are listed, nothing when all is up to date.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
work="$(mktemp -d "${TMPDIR:-/tmp}/pagequill-demo.XXXXXX")"
server=""
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
if ! { cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" &&
       cmake --build build -j"$(nproc)" --target pagequill pagequill-site pqtool; } >"$work/build.log" 2>&1; then
  tail -40 "$work/build.log"
  echo "The build failed (the lines above end its log)."
  exit 1
fi
grep -E '^\[ *[0-9]+%\] (Building|Linking)' "$work/build.log" | sed 's/^\[ *[0-9]*%\] //' || true

port="${PAGEQUILL_DEMO_PORT:-8080}"
# Serve a fresh copy, so that publishing in the demo never changes the bundled site.
cp -r demo/site "$work/site"
tls=()
if [ "${PAGEQUILL_DEMO_TLS:-}" = "1" ]; then
  # An authority valid for two days, and a certificate it signs for this machine.
  ca="$work/tls"
  mkdir -m 700 "$ca"
  printf '%s\n' "basicConstraints=critical,CA:FALSE" "keyUsage=critical,digitalSignature,keyEncipherment" \
    "extendedKeyUsage=serverAuth" "subjectAltName=IP:127.0.0.1,DNS:localhost" >"$ca/server.ext"
  if ! { openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 2 \
           -subj "/CN=Pagequill demo authority" -keyout "$ca/authority.key" -out "$ca/authority.pem" \
           -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" &&
         openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -subj "/CN=127.0.0.1" \
           -keyout "$ca/server.key" -out "$ca/server.csr" &&
         openssl x509 -req -in "$ca/server.csr" -CA "$ca/authority.pem" -CAkey "$ca/authority.key" \
           -set_serial "$RANDOM$RANDOM" -days 2 -extfile "$ca/server.ext" -out "$ca/server.pem"; } >"$work/tls.log" 2>&1; then
    cat "$work/tls.log"
    echo "The demo certificate could not be made with openssl (its messages are above)."
    exit 1
  fi
  tls=(--tls-cert "$ca/server.pem" --tls-key "$ca/server.key")
  export PAGEQUILL_EXTRA_CA="$ca/authority.pem"
fi
PAGEQUILL_SITE_PASSWORD=demo build/bin/pagequill-site --root "$work/site" --port "$port" \
  --vendor-check --backup-dir "$work/backups" "${tls[@]}" >"$work/site.log" 2>&1 &
server=$!
# Wait for "listening on", or report at once why the server stopped (a taken port, say).
url=""
for _ in $(seq 100); do
  url="$(sed -n 's/^listening on //p' "$work/site.log" | head -1)"
  [ -n "$url" ] && break
  if ! kill -0 "$server" 2>/dev/null; then
    server=""
    echo "The demo site server could not start on port $port:"
    cat "$work/site.log"
    echo "Choose another port with PAGEQUILL_DEMO_PORT, for example: PAGEQUILL_DEMO_PORT=8081 $0"
    exit 1
  fi
  sleep 0.05
done
[ -n "$url" ] || { echo "The demo site server did not start:"; cat "$work/site.log"; exit 1; }
echo "Demo site at $url (password: demo)"
PAGEQUILL_HOME="${url}index.htm" PAGEQUILL_SERVICE_URL="${url}check.php" build/bin/pagequill
