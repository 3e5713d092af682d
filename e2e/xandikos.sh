# A private Xandikos CalDAV server for end-to-end tests, sourced after lib.sh (or with
# XANDIKOS_DIR set and an EXIT trap of one's own that calls stop_xandikos).
#   start_xandikos                    serves <dir>/data on a free loopback port, with the
#                                     principal /user/ and its calendar home /user/calendars/;
#                                     sets XANDIKOS_URL (http://127.0.0.1:<port>/) and XANDIKOS_PID.
# Xandikos asks for no password (it leaves that to a proxy in front of it): the client's
# credentials go unasked. The server is tied to this shell: it gets SIGTERM when the shell
# ends, however it ends.
XANDIKOS_DIR=${XANDIKOS_DIR:-${E2E_TMP:?lib.sh or XANDIKOS_DIR first}/xandikos}
XANDIKOS_PID=

stop_xandikos() {
  [[ -n "$XANDIKOS_PID" ]] || return 0
  kill "$XANDIKOS_PID" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$XANDIKOS_PID" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$XANDIKOS_PID" 2>/dev/null || true
  XANDIKOS_PID=
}

start_xandikos() {
  local port attempt
  command -v xandikos >/dev/null || { echo "xandikos is missing; scripts/install-deps.sh installs it" >&2; return 1; }
  mkdir -p "$XANDIKOS_DIR/data"
  # A port that was free a moment ago may be taken before the server binds it: try again.
  for attempt in 1 2 3 4 5; do
    port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    setpriv --pdeathsig TERM xandikos --defaults -d "$XANDIKOS_DIR/data" -l 127.0.0.1 -p "$port" \
      >>"$XANDIKOS_DIR/log" 2>&1 &
    XANDIKOS_PID=$!
    [[ -n "${E2E_PIDS+x}" ]] && E2E_PIDS+=("$XANDIKOS_PID")
    for _ in $(seq 100); do
      kill -0 "$XANDIKOS_PID" 2>/dev/null || break
      if /usr/bin/python3 -c 'import socket, sys; socket.create_connection(("127.0.0.1", int(sys.argv[1])), 0.2)' "$port" 2>/dev/null; then
        XANDIKOS_URL="http://127.0.0.1:$port/"
        return 0
      fi
      sleep 0.1
    done
    stop_xandikos
  done
  echo "Xandikos did not start:" >&2
  cat "$XANDIKOS_DIR/log" >&2
  return 1
}
