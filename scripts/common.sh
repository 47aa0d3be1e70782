# Shared steps of scripts/demo, scripts/test and scripts/bench: install what is
# missing, build into out/, and run a private Wine prefix on a display.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$ROOT/out"
BUILD="$OUT/build"          # the 64-bit programs, landing in out/
BUILD_X86="$OUT/build-x86"  # the 32-bit programs, landing in out/x86/
PACKAGES=(cmake make g++-mingw-w64-x86-64 wine64 xvfb xdotool imagemagick googletest)
X86_PACKAGES=(g++-mingw-w64-i686 wine32:i386)

# Installs the packages named, where missing; PACKAGES when none is named.
install_missing() {
  [ $# -gt 0 ] || set -- "${PACKAGES[@]}"
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
      $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

# Builds the 64-bit programs, or with "x86" first the 32-bit ones; further
# arguments go to CMake. Each build knows the other's folder for the tests
# that cross between them.
build() {
  local arch=x86_64 dir="$BUILD" output="$OUT" other="$OUT/x86"
  if [ "${1:-}" = x86 ]; then
    arch=i686 dir="$BUILD_X86" output="$OUT/x86" other="$OUT"
    shift
  fi
  cmake -S "$ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DTOOFEL_ARCH="$arch" \
    -DTOOFEL_OUTPUT_DIR="$output" -DTOOFEL_OTHER_BUILD_DIR="$other" "$@" >/dev/null
  cmake --build "$dir" -j 2
}

# Starts Xvfb unless a display is wanted and present, and a fresh Wine prefix.
# Everything started here is ended by stop_session.
start_session() {
  local use_display="${1:-no}"
  if [ "$use_display" != yes ] || [ -z "${DISPLAY:-}" ]; then
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  mkdir -p "$OUT"
  export WINEPREFIX
  WINEPREFIX="$(mktemp -d "$OUT/wine.XXXXXX")"
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  trap stop_session EXIT
  wineserver -p   # stay up between the many short Wine processes of a run
  wineboot -i >/dev/null 2>&1
}

stop_session() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  [ -n "${WINEPREFIX:-}" ] && rm -rf "$WINEPREFIX"
  return 0
}
