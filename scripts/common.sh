# Shared by the scripts: paths, the environment for headless runs, the build step.
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export DCV_VLC_ARGS="${DCV_VLC_ARGS:---aout=dummy}"
# Chromium (Qt WebEngine) refuses its sandbox as root.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu --disable-background-networking --no-first-run}"
jobs="$(nproc)"

build_preset() { # build_preset NAME
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j "$jobs"
}
