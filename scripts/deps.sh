# Makes sure the Debian/Ubuntu packages named in the arguments are installed:
# installs them with apt-get when run as root, otherwise prints the exact
# command to run and stops.
ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if ! command -v apt-get >/dev/null 2>&1; then
    echo "vantaloop: missing packages: ${missing[*]} (no apt-get here: install SDL2 development files, OpenGL, CMake, a C++20 compiler, GoogleTest, Google Benchmark, Xvfb and xdotool by hand)" >&2
    exit 1
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "vantaloop: missing packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "vantaloop: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null || apt-get update
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || apt-get install -y --no-install-recommends "${missing[@]}"
}

# What building and running the game needs (the deb preset, or any build
# with -DBUILD_TESTING=OFF, needs no more); SDL loads libGLESv2 for the
# OpenGL ES 2 context of VANTALOOP_GLES=1.
GAME_PACKAGES=(g++ make cmake pkg-config libsdl2-dev libgl-dev libopengl-dev libegl1 libgles2 libgl1-mesa-dri libegl-mesa0)
# What the build with the tests (the default preset) needs on top: GoogleTest,
# Google Benchmark, and X11 for a tool of the end-to-end tests.
TESTING_PACKAGES=(libgtest-dev libbenchmark-dev libx11-dev libavformat-dev libavcodec-dev libswscale-dev libavutil-dev)
# What making the Debian package needs on top (the dependencies are read from
# the program's libraries).
PACKAGE_PACKAGES=(dpkg-dev file)
# What the tests need on top: a virtual X server, real key presses, a look
# at its root window, screenshots, a window manager (full screen is the
# window manager's job),
# clang with its libFuzzer runtime for the fuzz targets, an exFAT volume
# through FUSE for saving where the file system has no hard links, xmllint
# for the flight map, a headless Wayland desktop with its own key presses
# and screenshots, and the checkers of the Debian package, its menu entry,
# store metadata and manual page.
TEST_PACKAGES=(xvfb xauth xdotool x11-utils imagemagick openbox clang libclang-rt-dev
  exfat-fuse exfatprogs libxml2-utils
  sway grim wtype jq ffmpeg
  "${PACKAGE_PACKAGES[@]}" lintian desktop-file-utils appstream man-db groff-base)
# What the Windows build (scripts/build-windows.sh) needs on top: mingw-w64,
# the tools that fetch and unpack Debian's SDL2 source, GoogleTest's source
# for the tests, and Wine to run them.
WINDOWS_PACKAGES=(cmake make g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  dpkg-dev xz-utils googletest wine wine64 util-linux)
# What the web build (scripts/build-web.sh) needs on top: Emscripten, the
# tools that fetch and unpack Debian's SDL2 source, zip for the page's
# archive; and for its tests the browser they drive and npm for the driver.
WEB_PACKAGES=(cmake make emscripten dpkg-dev xz-utils zip util-linux chromium)
