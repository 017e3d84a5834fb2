#!/usr/bin/env bash
# Runs a command next to a PostgreSQL server of its own: a fresh cluster in a
# temporary folder on a free loopback port, stopped and removed when the command
# ends. The command finds the server in TARVO_TEST_POSTGRESQL
# ("postgresql://tarvo@127.0.0.1:PORT/", a database name to be appended).
# The server refuses to run as root; as root it runs as nobody.
set -euo pipefail

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "with_postgresql: no PostgreSQL server installed (scripts/install-deps installs it)" >&2
  exit 1
fi
dir=$(mktemp -d /tmp/tarvo-postgresql.XXXXXX)
as_server=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody:nogroup "$dir"
  as_server=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
stop() {
  "${as_server[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$dir"
}
trap stop EXIT

"${as_server[@]}" "$bin/initdb" -D "$dir/data" -U tarvo --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
  { cat "$dir/initdb.log" >&2; exit 1; }
# Durability is not what these tests are about: without fsync a database is made
# in milliseconds.
port=""
for attempt in $(seq 1 20); do
  candidate=$((20000 + (RANDOM % 20000)))
  if "${as_server[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
      -o "-p $candidate -c listen_addresses=127.0.0.1 -c unix_socket_directories= -c fsync=off -c full_page_writes=off -c synchronous_commit=off -c max_connections=200" \
      start >/dev/null 2>&1; then
    port=$candidate
    break
  fi
done
if [ -z "$port" ]; then
  echo "with_postgresql: the server did not start:" >&2
  cat "$dir/server.log" >&2
  exit 1
fi
export TARVO_TEST_POSTGRESQL="postgresql://tarvo@127.0.0.1:$port/"
"$@"
