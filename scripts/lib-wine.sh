# Shared by the run and test commands: a virtual display and a Wine prefix
# set up for code page 936 with CJK fonts. Source it; it defines functions.

wine_env() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  # Chinese Windows (code page 936) unless DVX_WINE_LANG names another
  # locale, e.g. C.UTF-8 for a Western one (code page 1252).
  local lang=${DVX_WINE_LANG:-zh_CN.UTF-8}
  export LANG=$lang LC_ALL=$lang
}

# start_xvfb [WxH]: starts Xvfb (1280x800 unless named) on a free display;
# sets DISPLAY and XVFB_PID.
start_xvfb() {
  local n dnum="" size=${1:-1280x800}
  for n in $(seq 90 160); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then dnum=$n; break; fi
  done
  [ -n "$dnum" ] || { echo "no free X display number" >&2; return 1; }
  Xvfb ":$dnum" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$dnum"
  for _ in $(seq 1 200); do [ -e "/tmp/.X11-unix/X$dnum" ] && return 0; sleep 0.05; done
  echo "Xvfb did not start" >&2
  return 1
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" >/dev/null 2>&1
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  fi
}

# init_prefix [desktop]: makes $WINEPREFIX if needed, with Chinese-capable
# font replacements so captions render as text, not boxes. With "desktop"
# every window lives in one virtual desktop: without a window manager Wine
# otherwise waits two seconds for each top-level window it hides.
init_prefix() {
  local desktop=${1:-}
  local marker="$WINEPREFIX/.domivex-ready"
  [ -f "$marker" ] && return 0
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || { echo "wineboot failed" >&2; return 1; }
  local reg="$WINEPREFIX/domivex-fonts.reg" f
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for f in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Arial" "SimSun" "宋体" \
             "Microsoft Sans Serif" "MS Sans Serif" "System"; do
      printf '"%s"="WenQuanYi Zen Hei"\r\n' "$f"
    done
    if [ "$desktop" = desktop ]; then
      printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n'
      printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1280x800"\r\n'
    fi
  } | iconv -f UTF-8 -t UTF-16 > "$reg"
  wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  touch "$marker"
}

stop_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}
