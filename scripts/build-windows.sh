#!/usr/bin/env bash
# Cross-builds vantaloop for 64-bit Windows with mingw-w64:
#
#   scripts/build-windows.sh          # build-windows/vantaloop.exe, its tests and the ZIP
#
# SDL2 comes from Debian's own source package of the SDL2 the Linux build
# uses: fetched once with `apt-get source` through a private list of source
# entries (the system's own entries as deb-src), cross-built with only what
# the game needs (video, events, joystick and game controller, timers) and
# kept in a cache outside the clone ($VANTALOOP_CACHE, by default
# ~/.cache/vantaloop), so later builds need neither the network nor the
# minutes of that build. The game links SDL2 and the C++ runtime statically:
# vantaloop.exe is one file that runs as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${WINDOWS_PACKAGES[@]}"
jobs=$(nproc)
toolchain=$PWD/cmake/mingw-w64-x86_64.cmake
cache=${VANTALOOP_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vantaloop}
mkdir -p "$cache"

# Private apt state: only the source entries, so the system's own package
# lists are never touched.
apt_dir=$cache/apt
apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o APT::Sandbox::User=root)
update_source_lists() {
  rm -rf "$apt_dir"
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
    2>/dev/null >"$apt_dir/sources.list" || true
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
  done
  apt-get "${apt_opts[@]}" update -qq >/dev/null
}

# The SDL2 version: the one the Linux build uses where it is installed, else
# the newest the sources offer.
sdl_version=$(dpkg-query -W -f='${Version}' libsdl2-dev 2>/dev/null || true)
if [ -z "$sdl_version" ]; then
  update_source_lists
  sdl_version=$(apt-cache "${apt_opts[@]}" showsrc libsdl2 | sed -n 's/^Version: //p' | sort -V | tail -n 1)
fi
sdl_prefix=$cache/sdl2-$sdl_version-mingw-w64

build_sdl2() {
  local work=$cache/sdl2-work
  rm -rf "$work" "$sdl_prefix"
  mkdir -p "$work"
  echo "== SDL2 $sdl_version for Windows (once; kept in $sdl_prefix)"
  # Lists kept from an earlier run may be out of date: fetched again when
  # they do not know the version.
  fetch() { (cd "$work" && apt-get "${apt_opts[@]}" source -qq "libsdl2=$sdl_version" >/dev/null); }
  if ! { [ -d "$apt_dir/lists" ] && fetch; }; then
    update_source_lists
    fetch
  fi
  local src
  src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'libsdl2-*' | head -n 1)
  [ -n "$src" ] || { echo "vantaloop: apt-get source libsdl2 gave no source folder" >&2; exit 1; }
  cmake -S "$src" -B "$work/build" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$sdl_prefix" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=OFF \
    -DSDL_AUDIO=OFF -DSDL_RENDER=OFF -DSDL_HAPTIC=OFF -DSDL_POWER=OFF -DSDL_SENSOR=OFF \
    -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_VULKAN=OFF -DSDL_DIRECTX=ON -DSDL_RENDER_D3D=OFF \
    >"$work/configure.log" || { cat "$work/configure.log" >&2; exit 1; }
  cmake --build "$work/build" -j"$jobs" >"$work/build.log" || { tail -n 50 "$work/build.log" >&2; exit 1; }
  cmake --install "$work/build" >/dev/null
  touch "$sdl_prefix/.complete"
  rm -rf "$work"
}

# One build of SDL2 at a time; a second caller waits and then finds it done.
exec 9>"$cache/.lock"
flock 9
[ -f "$sdl_prefix/.complete" ] || build_sdl2
flock -u 9

echo "== Build for Windows"
cmake --preset windows -DSDL2_DIR="$sdl_prefix/lib/cmake/SDL2" >/dev/null
cmake --build --preset windows -j"$jobs"
(cd build-windows && cpack -G ZIP >/dev/null)
echo "vantaloop for Windows: build-windows/vantaloop.exe; for players: $(ls build-windows/vantaloop-*-win64.zip)"
