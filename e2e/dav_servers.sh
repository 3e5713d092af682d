# Private CalDAV servers for end-to-end tests, each on a free loopback port, sourced after lib.sh
# (or with DAV_DIR set and an EXIT trap of one's own that calls stop_dav_server).
#   start_radicale <user> <password>  Radicale serving <dir>/storage with an htpasswd user
#   start_xandikos                    Xandikos serving <dir>/data, with the principal /user/ and
#                                     its calendar home /user/calendars/; it asks for no password
#                                     (it leaves that to a proxy in front of it)
# Each sets DAV_URL (http://127.0.0.1:<port>/) and DAV_PID; one server at a time. The server is
# tied to this shell: it gets SIGTERM when the shell ends, however it ends.
DAV_DIR=${DAV_DIR:-${E2E_TMP:?lib.sh or DAV_DIR first}/dav}
DAV_PID=

stop_dav_server() {
  [[ -n "$DAV_PID" ]] || return 0
  kill "$DAV_PID" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$DAV_PID" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$DAV_PID" 2>/dev/null || true
  DAV_PID=
}

# serve <name> <launch>: "<launch> <port>" starts the server in the background and sets DAV_PID;
# tried on fresh ports until the server listens.
serve() {
  local name=$1 launch=$2 port attempt
  # A port that was free a moment ago may be taken before the server binds it: try again.
  for attempt in 1 2 3 4 5; do
    port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    "$launch" "$port"
    [[ -n "${E2E_PIDS+x}" ]] && E2E_PIDS+=("$DAV_PID")
    for _ in $(seq 100); do
      kill -0 "$DAV_PID" 2>/dev/null || break
      if /usr/bin/python3 -c 'import socket, sys; socket.create_connection(("127.0.0.1", int(sys.argv[1])), 0.2)' "$port" 2>/dev/null; then
        DAV_URL="http://127.0.0.1:$port/"
        return 0
      fi
      sleep 0.1
    done
    stop_dav_server
  done
  echo "$name did not start:" >&2
  cat "$DAV_DIR/log" >&2
  return 1
}

launch_radicale() {
  cat >"$DAV_DIR/config" <<CONF
[server]
hosts = 127.0.0.1:$1
max_content_length = 100000000
timeout = 60
[auth]
type = htpasswd
htpasswd_filename = $DAV_DIR/users
htpasswd_encryption = md5
[storage]
filesystem_folder = $DAV_DIR/storage
[rights]
type = owner_only
[logging]
level = warning
CONF
  setpriv --pdeathsig TERM /usr/bin/python3 -m radicale --config "$DAV_DIR/config" >>"$DAV_DIR/log" 2>&1 &
  DAV_PID=$!
}

start_radicale() {
  /usr/bin/python3 -c 'import radicale' 2>/dev/null || { echo "radicale is missing; scripts/install-deps.sh installs it" >&2; return 1; }
  mkdir -p "$DAV_DIR/storage"
  htpasswd -c -b -m "$DAV_DIR/users" "$1" "$2" 2>/dev/null
  serve Radicale launch_radicale
}

launch_xandikos() {
  setpriv --pdeathsig TERM xandikos --defaults -d "$DAV_DIR/data" -l 127.0.0.1 -p "$1" >>"$DAV_DIR/log" 2>&1 &
  DAV_PID=$!
}

start_xandikos() {
  command -v xandikos >/dev/null || { echo "xandikos is missing; scripts/install-deps.sh installs it" >&2; return 1; }
  mkdir -p "$DAV_DIR/data"
  serve Xandikos launch_xandikos
}
