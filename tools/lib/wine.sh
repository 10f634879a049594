# Wine for the test bench: a throwaway 64-bit prefix per run, copied from a
# template that is made once, sandboxed from the host. It is a 64-bit Windows
# machine, like those ORVRemove runs on: the 32-bit programs of the test bench
# and the shipped ORVRemove.exe run under Wine's WoW64 (the 64-bit loader
# starts its 32-bit loader for them; tools/setup makes sure that one runs).

ORV_WINE=/usr/lib/wine/wine64
ORV_WINESERVER=/usr/lib/wine/wineserver

orv_wine_env() {
  export WINEPREFIX=$1
  export WINEARCH=win64
  export WINELOADER=$ORV_WINE
  export WINESERVER=$ORV_WINESERVER
  export WINEDEBUG=-all
  # No Mono or Gecko installers: nothing may be fetched, nothing may prompt.
  export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=;odbc32=n"
}

# Removes what would let a test reach the host: the Z: drive that maps "/"
# and the links from the user's shell folders to the host's home folders.
orv_wine_sandbox() {
  local prefix=$1
  rm -f "$prefix/dosdevices/z:"
  local link
  find "$prefix/drive_c/users" -type l -print0 | while IFS= read -r -d '' link; do
    rm -f "$link"
    mkdir -p "$link"
  done
}

orv_wine_template() {
  local template=$1
  local stamp
  stamp="$("$ORV_WINE" --version) $(sha1sum "${BASH_SOURCE[0]}" | cut -c1-12)"
  if [ -f "$template/.orv-template" ] && [ "$(cat "$template/.orv-template")" = "$stamp" ]; then
    return 0
  fi
  rm -rf "$template"
  mkdir -p "$(dirname "$template")"
  (
    orv_wine_env "$template"
    "$ORV_WINE" wineboot -i >/dev/null 2>&1 || true
    "$ORV_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    "$ORV_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    "$ORV_WINESERVER" -w
  )
  [ -f "$template/system.reg" ] || { echo "wine: could not create the prefix template" >&2; return 1; }
  orv_wine_sandbox "$template"
  echo "$stamp" > "$template/.orv-template"
}

# Makes a fresh prefix for this run from the template. The build folder of
# the test bench becomes drive T:, so its programs run under plain Windows
# paths (T:\bin\orvtests.exe) instead of \\?\unix paths.
orv_wine_fresh_prefix() {
  local template=$1 prefix=$2 bench=$3
  orv_wine_template "$template" || return 1
  rm -rf "$prefix"
  cp -a "$template" "$prefix"
  ln -s "$bench" "$prefix/dosdevices/t:"
}

# The Windows path of a file in the test bench's build folder; other paths
# are returned unchanged.
orv_wine_path() {
  local path=$1 bench=${ORV_BENCH:-}
  if [ -n "$bench" ] && [ "${path#"$bench"/}" != "$path" ]; then
    local rest=${path#"$bench"/}
    printf 'T:\\%s' "${rest//\//\\}"
  else
    printf '%s' "$path"
  fi
}

orv_xvfb_start() {
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      ORV_XVFB_PID=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        sleep 0.1
      done
      return 1
    fi
  done
  return 1
}

orv_xvfb_stop() {
  [ -n "${ORV_XVFB_PID:-}" ] && kill "$ORV_XVFB_PID" 2>/dev/null && wait "$ORV_XVFB_PID" 2>/dev/null
  ORV_XVFB_PID=
}
