# Sourced: a private X display for windows nobody needs to see.
qv_xvfb_start() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  QV_XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
  # Without a window manager Wine waits about 2 s on each window shown or hidden.
  if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & QV_OPENBOX_PID=$!; fi
}

qv_xvfb_stop() {
  [ -n "${QV_OPENBOX_PID:-}" ] && kill "$QV_OPENBOX_PID" 2>/dev/null || true
  unset QV_OPENBOX_PID
  [ -n "${QV_XVFB_PID:-}" ] && kill "$QV_XVFB_PID" 2>/dev/null || true
  unset QV_XVFB_PID
}
