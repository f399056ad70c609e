#!/usr/bin/env bash
# with-fixture-web.sh COMMAND...: runs COMMAND with the local fixture web on
# an ephemeral port (DVX_FIXTURE_PORT), and stops the server afterwards. The
# server ends by itself after DVX_FIXTURE_MAX_SECONDS (default 300).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
ports=$(mktemp)
/usr/bin/python3 "$root/lookup/tests/fixture_web.py" --max-seconds "${DVX_FIXTURE_MAX_SECONDS:-300}" \
  --hang-seconds 3 >"$ports" &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$ports"' EXIT
port=""
for _ in $(seq 100); do
  port=$(head -n1 "$ports")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "fixture web did not start" >&2; exit 1; }
DVX_FIXTURE_PORT=$port "$@"
