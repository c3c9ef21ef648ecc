# Shared by bench/fidelity and bench/conformance (sourced): installing the
# peer renderers and building kelsvg for speed. Needs $root and $cache.

as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

# Debian packages that are missing, quietly; NAME prefixes the message.
install_debian() {
  local name=$1 p status missing=()
  shift
  for p in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "$name: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq >&2
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# npm packages (pinned, so that runs on different days compare) into $cache,
# once per MARKER file; sets $modules.
install_npm() {
  local name=$1 marker=$2 tool
  shift 2
  for tool in node npm; do
    command -v "$tool" >/dev/null || { echo "$name: $tool is needed" >&2; exit 1; }
  done
  mkdir -p "$cache"
  if [[ ! -f "$cache/$marker" ]]; then
    echo "$name: installing npm packages into $cache" >&2
    (cd "$cache" &&
      { [[ -f package.json ]] || echo '{"name":"kelsvg-bench","private":true}' >package.json; } &&
      npm install --no-audit --no-fund --silent "$@" >&2)
    touch "$cache/$marker"
  fi
  modules=$cache/node_modules
}

# The kelsvg program: PATH given (a program or a build folder), or this
# checkout built for speed in BUILD; sets $kelsvg to an absolute path.
find_kelsvg() {
  local name=$1 given=$2 build=$3
  if [[ -z "$given" ]]; then
    if [[ ! -f "$build/build.ninja" ]]; then
      cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DKELSVG_TESTS=OFF -DKELSVG_BENCH=OFF >/dev/null
    fi
    cmake --build "$build" --target kelsvg_tool -j 2 >&2
    given=$build/tools/kelsvg/kelsvg
  elif [[ -d "$given" ]]; then
    given=$given/tools/kelsvg/kelsvg
  fi
  [[ -x "$given" ]] || { echo "$name: no kelsvg program at $given" >&2; exit 1; }
  kelsvg=$(cd "$(dirname "$given")" && pwd)/$(basename "$given")
}
