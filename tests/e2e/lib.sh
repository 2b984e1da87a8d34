# shellcheck shell=bash
# Shared by run-e2e and measure-e2e: a private X display, the processes started on it,
# and polling. Sourced, not run. Everything lives in $E2E_TMP and is removed at exit
# (E2E_KEEP=1 keeps it for a look); every process started is ended by its own id.

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/qv-e2e.XXXXXX")
E2E_PIDS=()
XVFB_PID=

e2e_cleanup() {
  local p
  for p in "${E2E_PIDS[@]}" $XVFB_PID; do
    kill "$p" 2>/dev/null || true
  done
  # A program stuck where it hears no signal gets 5 s, then is ended for good.
  for p in "${E2E_PIDS[@]}" $XVFB_PID; do
    ended "$p" || wait_for 5 ended "$p" || kill -KILL "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  if [ -n "${E2E_KEEP:-}" ]; then echo "kept $E2E_TMP" >&2; else rm -rf "$E2E_TMP"; fi
}

# ended PID: the process started here has ended (it may wait to be reaped).
ended() {
  local state=
  { read -r _ _ state _ </proc/"$1"/stat; } 2>/dev/null || true
  [ -z "$state" ] || [ "$state" = Z ]
}
trap e2e_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  local f w
  for w in $(x xdotool search --onlyvisible --name . 2>/dev/null); do
    echo "window $w '$(x xdotool getwindowname "$w")' at $(geometry "$w")" >&2
  done
  for f in "$E2E_TMP"/*.err; do
    [ -s "$f" ] && { echo "--- $(basename "$f")" >&2; tail -n 20 "$f" >&2; }
  done
  exit 1
}

# Seconds since the epoch with microseconds, as a number of milliseconds (integer).
now_ms() {
  local t=${EPOCHREALTIME/./}
  echo $((t / 1000))
}

# wait_for SECONDS COMMAND...: runs COMMAND every 50 ms until it succeeds; false on timeout.
wait_for() {
  local until=$(($(now_ms) + $1 * 1000))
  shift
  while ! "$@"; do
    [ "$(now_ms)" -lt "$until" ] || return 1
    sleep 0.05
  done
}

# Starts Xvfb on a display number it chooses itself, with an authorization cookie of ours.
# Returns 77 (the skip status) with a message when it cannot start.
start_xvfb() {
  local size=$1 cookie fifo
  if ! command -v Xvfb >/dev/null || ! command -v xauth >/dev/null; then
    echo "SKIP: Xvfb or xauth is not installed (scripts/install-deps installs them)"
    return 77
  fi
  cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
  export XAUTHORITY="$E2E_TMP/xauth"
  # The server takes every cookie in its file, whatever display it names.
  xauth -q -f "$XAUTHORITY" add :0 MIT-MAGIC-COOKIE-1 "$cookie" 2>/dev/null
  fifo="$E2E_TMP/displayfd"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset -br -auth "$XAUTHORITY" \
    3>"$fifo" >"$E2E_TMP/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local number=
  read -r -t 10 number <"$fifo" || true
  if [ -z "$number" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
    echo "SKIP: Xvfb cannot start: $(tail -n 3 "$E2E_TMP/xvfb.log" | tr '\n' ' ')"
    return 77
  fi
  xauth -q -f "$XAUTHORITY" add ":$number" MIT-MAGIC-COOKIE-1 "$cookie"
  export DISPLAY=":$number"
  unset WAYLAND_DISPLAY
}

# start NAME COMMAND...: starts COMMAND in the background with its output in
# $E2E_TMP/NAME.out and .err, its id in the variable NAME_PID.
start() {
  local name=$1
  shift
  "$@" >"$E2E_TMP/$name.out" 2>"$E2E_TMP/$name.err" &
  E2E_PIDS+=($!)
  printf -v "${name}_PID" %s $!
}

# reap PID: waits for a process started here and forgets it; its exit status.
reap() {
  local p kept=() status=0
  wait "$1" || status=$?
  for p in "${E2E_PIDS[@]}"; do
    [ "$p" = "$1" ] || kept+=("$p")
  done
  E2E_PIDS=("${kept[@]}")
  return $status
}

# The display's tools, each given at most 10 s: a window going away under them can leave
# them waiting for good.
x() { timeout -k 1 10 "$@"; }

# The visible top-level windows whose name contains TEXT, one id a line.
windows_named() {
  x xdotool search --onlyvisible --name "$1" 2>/dev/null || true
}

# geometry ID: "X Y W H" of a window as the display has it.
geometry() {
  local X Y WIDTH HEIGHT
  eval "$(x xdotool getwindowgeometry --shell "$1" 2>/dev/null)" || return 1
  [ -n "${WIDTH:-}" ] && echo "$X $Y $WIDTH $HEIGHT"
}

# capture FILE: the screen as a binary PPM (windows are cut out of it by their geometry;
# the root window cannot go away while it is read).
capture() {
  x import -silent -window root -depth 8 "ppm:$1" 2>/dev/null
}

# find_login PIXELS: finds varnoth's login window by its button on the screen; sets login
# (its id) and login_x, login_y (the button's screen point).
find_login() {
  local w at bx by wx wy
  capture "$E2E_TMP/login.ppm" || return 1
  for w in $(windows_named 'Varnoth'); do
    # shellcheck disable=SC2046 # the geometry is four arguments
    if at=$("$1" login-button "$E2E_TMP/login.ppm" $(geometry "$w")); then
      read -r bx by <<<"$at"
      read -r wx wy _ _ <<<"$(geometry "$w")"
      login=$w login_x=$((wx + bx)) login_y=$((wy + by))
      return 0
    fi
  done
  return 1
}
