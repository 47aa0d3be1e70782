# Shared steps of scripts/demo, scripts/test, scripts/bench and scripts/release:
# install what is missing, build into out/, choose this host's Wine, and run a
# private Wine prefix on a display.
#
# TOOFEL_SKIP_32BIT=1 takes the path of a host that cannot run 32-bit programs
# even where it can: nothing 32-bit is installed or run, the 32-bit programs
# are still built.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$ROOT/out"
BUILD="$OUT/build"          # the 64-bit programs, landing in out/
BUILD_X86="$OUT/build-x86"  # the 32-bit programs, landing in out/x86/
# wine64 only recommends wine, the package with the wine wrapper and its tools.
PACKAGES=(cmake make g++-mingw-w64-x86-64 wine wine64 xvfb xdotool imagemagick googletest)
X86_BUILD_PACKAGES=(g++-mingw-w64-i686)
X86_RUN_PACKAGES=(wine32:i386)
# Wine takes its ANSI code page from the locale: C.UTF-8 gives 1252 on every
# Debian and carries non-ASCII file names. TOOFEL_LOCALE names another, for a
# run under another code page (scripts/test-cp1251).
export LC_ALL="${TOOFEL_LOCALE:-C.UTF-8}"

say() { echo "$*" >&2; }

# Installs the packages named, where missing; PACKAGES when none is named.
install_missing() {
  [ $# -gt 0 ] || set -- "${PACKAGES[@]}"
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Whether this host runs 32-bit x86 programs; sets RUNS_32BIT to yes or no and
# WHY_NOT_32BIT to the reason in plain words. Some kernels refuse them. A static
# program of 96 bytes that only exits with status 42 tells, where a dynamic one
# would fail on a fresh host for want of its 32-bit loader.
probe_32bit() {
  if [ -n "${TOOFEL_SKIP_32BIT:-}" ]; then
    RUNS_32BIT=no WHY_NOT_32BIT="TOOFEL_SKIP_32BIT is set"
    return
  fi
  local probe
  probe="$(mktemp)"
  # ELF header, one loadable segment, then: mov ebx, 42; mov eax, 1 (exit); int 0x80.
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\010\064\0\0\0\0\0\0\0\0\0\0\0\064\0\040\0\1\0\0\0\0\0\0\0' >"$probe"
  printf '\1\0\0\0\0\0\0\0\0\200\4\010\0\200\4\010\140\0\0\0\140\0\0\0\5\0\0\0\0\020\0\0' >>"$probe"
  printf '\273\052\0\0\0\270\1\0\0\0\315\200' >>"$probe"
  chmod +x "$probe"
  local status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  if [ "$status" -eq 42 ]; then
    RUNS_32BIT=yes WHY_NOT_32BIT=""
  else
    RUNS_32BIT=no WHY_NOT_32BIT="this host cannot run 32-bit programs"
  fi
}

# The one place that chooses the Wine loader, exported as WINE for the scripts
# and scripts/wine-run. The wine wrapper takes the 32-bit loader whenever wine32
# is installed, which fails everything where 32-bit programs cannot run; there
# the 64-bit loader is called directly.
choose_wine() {
  [ -n "${RUNS_32BIT:-}" ] || probe_32bit
  if [ "$RUNS_32BIT" = yes ]; then
    WINE=wine
  else
    WINE=/usr/lib/wine/wine64
    export WINELOADER="$WINE"
  fi
  export WINE
}

# Wine's own tools, through the chosen loader: their commands are wrappers over
# the wine wrapper.
wineboot() { "$WINE" wineboot.exe "$@"; }
winepath() { "$WINE" winepath.exe "$@"; }

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

# Runs a set-up command; on failure says which step failed with the command's
# own error and ends the script.
setup_step() {
  local what="$1" errors
  shift
  errors="$(mktemp)"
  # To a file, not a pipe: what the command starts lives on and would hold a pipe open.
  if ! "$@" >"$errors" 2>&1; then
    say "Could not start $what: '$*' failed:"
    say "$(cat "$errors")"
    rm -f "$errors"
    exit 1
  fi
  rm -f "$errors"
}

# Starts Xvfb unless a display is wanted and present, and a fresh Wine prefix
# in out/, or in PREFIX_PARENT where that is set. Everything started here is
# ended by stop_session.
start_session() {
  local use_display="${1:-no}"
  choose_wine
  trap stop_session EXIT
  if [ "$use_display" != yes ] || [ -z "${DISPLAY:-}" ]; then
    # Xvfb picks a free display itself and writes its number once it listens.
    local numbers errors
    numbers="$(mktemp)" errors="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numbers" 2>"$errors" &
    XVFB_PID=$!
    for _ in $(seq 100); do
      [ -s "$numbers" ] && break
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    if [ ! -s "$numbers" ]; then
      say "Could not start Xvfb:"
      say "$(cat "$errors")"
      rm -f "$numbers" "$errors"
      exit 1
    fi
    export DISPLAY=":$(head -n 1 "$numbers")"
    rm -f "$numbers" "$errors"
  fi
  mkdir -p "$OUT"
  export WINEPREFIX
  WINEPREFIX="$(mktemp -d "${PREFIX_PARENT:-$OUT}/wine.XXXXXX")"
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  setup_step "the Wine server" wineserver -p  # stays up between the many short Wine processes of a run
  setup_step "the Wine prefix" wineboot -i
}

stop_session() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  return 0
}
