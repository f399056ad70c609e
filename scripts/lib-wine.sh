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
# sets DISPLAY and XVFB_PID. Xvfb picks the display itself (-displayfd) and
# names it once it accepts connections: two beds starting at once never end
# up on one server, where the first to stop would cut the other's display.
start_xvfb() {
  local dnum="" size=${1:-1280x800} named
  named=$(mktemp /tmp/domivex-xvfb.XXXXXX) || return 1
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$named" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 200); do
    dnum=$(head -n1 "$named" 2>/dev/null)
    [ -n "$dnum" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  rm -f "$named"
  if [ -z "$dnum" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$dnum"
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" >/dev/null 2>&1
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  fi
}

# Which Debian fonts stand in for Windows' faces: the Latin UI faces take a
# metric-compatible Liberation font, the CJK faces WenQuanYi Micro Hei (Zen
# Hei drops '-' and '.' at 12 px, so domain names would read wrong). Chinese
# text in a Latin face falls back to the CJK font through the system font
# links, as on Windows.
DVX_LATIN_SANS_FACES=("Arial" "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"
                      "MS Sans Serif" "Segoe UI" "Verdana" "System")
DVX_CJK_FACES=("SimSun" "宋体" "NSimSun" "新宋体" "SimHei" "黑体" "Microsoft YaHei" "微软雅黑")
DVX_CJK_FONT="WenQuanYi Micro Hei"
DVX_CJK_FONT_FILE="wqy-microhei.ttc"

# font_registry: the registry text for the replacements and links above.
font_registry() {
  local f
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  for f in "${DVX_LATIN_SANS_FACES[@]}"; do printf '"%s"="Liberation Sans"\r\n' "$f"; done
  printf '"Times New Roman"="Liberation Serif"\r\n"Courier New"="Liberation Mono"\r\n'
  for f in "${DVX_CJK_FACES[@]}"; do printf '"%s"="%s"\r\n' "$f" "$DVX_CJK_FONT"; done
  printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
  for f in "Liberation Sans" "Liberation Serif" "Liberation Mono" "${DVX_LATIN_SANS_FACES[@]}"; do
    printf '"%s"=hex(7):%s\r\n' "$f" "$(printf '%s,%s\0\0' "$DVX_CJK_FONT_FILE" "$DVX_CJK_FONT" | iconv -f UTF-8 -t UTF-16LE |
      od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//')"
  done
}

# init_prefix [desktop]: makes $WINEPREFIX if needed, with the font
# replacements above so captions render as text, not boxes, and with Wine's
# Marlett in the prefix so the caption buttons show their glyphs (this Wine
# does not load the fonts of its own data directory). With "desktop" every
# window lives in one virtual desktop: without a window manager Wine
# otherwise waits two seconds for each top-level window it hides.
init_prefix() {
  local desktop=${1:-}
  # The marker names the font setup, so an older prefix gets the new one.
  local marker="$WINEPREFIX/.domivex-ready-fonts2"
  [ -f "$marker" ] && return 0
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || { echo "wineboot failed" >&2; return 1; }
  local marlett
  for marlett in /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf; do
    [ -f "$marlett" ] && cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/" && break
  done
  local reg="$WINEPREFIX/domivex-fonts.reg"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    font_registry
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
