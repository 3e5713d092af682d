# A private Radicale CalDAV server for end-to-end tests and benchmarks, sourced after lib.sh
# (or with RADICALE_DIR set and an EXIT trap of one's own that calls stop_radicale).
#   start_radicale <user> <password>   serves <dir>/storage on a free loopback port with an
#                                     htpasswd user; sets RADICALE_URL (http://127.0.0.1:<port>/)
#                                     and RADICALE_PID.
# The server is tied to this shell: it gets SIGTERM when the shell ends, however it ends.
RADICALE_DIR=${RADICALE_DIR:-${E2E_TMP:?lib.sh or RADICALE_DIR first}/radicale}
RADICALE_PID=

stop_radicale() {
  [[ -n "$RADICALE_PID" ]] || return 0
  kill "$RADICALE_PID" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$RADICALE_PID" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$RADICALE_PID" 2>/dev/null || true
  RADICALE_PID=
}

start_radicale() {
  local user=$1 password=$2 port attempt
  /usr/bin/python3 -c 'import radicale' 2>/dev/null || { echo "radicale is missing; scripts/install-deps.sh installs it" >&2; return 1; }
  mkdir -p "$RADICALE_DIR/storage"
  htpasswd -c -b -m "$RADICALE_DIR/users" "$user" "$password" 2>/dev/null
  # A port that was free a moment ago may be taken before the server binds it: try again.
  for attempt in 1 2 3 4 5; do
    port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    cat >"$RADICALE_DIR/config" <<CONF
[server]
hosts = 127.0.0.1:$port
max_content_length = 100000000
timeout = 60
[auth]
type = htpasswd
htpasswd_filename = $RADICALE_DIR/users
htpasswd_encryption = md5
[storage]
filesystem_folder = $RADICALE_DIR/storage
[rights]
type = owner_only
[logging]
level = warning
CONF
    setpriv --pdeathsig TERM /usr/bin/python3 -m radicale --config "$RADICALE_DIR/config" \
      >>"$RADICALE_DIR/log" 2>&1 &
    RADICALE_PID=$!
    [[ -n "${E2E_PIDS+x}" ]] && E2E_PIDS+=("$RADICALE_PID")
    for _ in $(seq 100); do
      kill -0 "$RADICALE_PID" 2>/dev/null || break
      if /usr/bin/python3 -c 'import socket, sys; socket.create_connection(("127.0.0.1", int(sys.argv[1])), 0.2)' "$port" 2>/dev/null; then
        RADICALE_URL="http://127.0.0.1:$port/"
        return 0
      fi
      sleep 0.1
    done
    stop_radicale
  done
  echo "Radicale did not start:" >&2
  cat "$RADICALE_DIR/log" >&2
  return 1
}
