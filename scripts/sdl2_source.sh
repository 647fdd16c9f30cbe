# Debian's own source package of the SDL2 the Linux build uses, for the
# builds that make SDL2 themselves (Windows, the web). Sourced by their
# scripts after `cache` is set; build_sdl2_once builds it, once per target.
#
# The source is fetched with `apt-get source` through a private list of
# source entries (the system's own entries as deb-src), so the system's own
# package lists are never touched.
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

fetch_sdl2_source() {
  local work=$1
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
  echo "$src"
}

# Builds SDL2 into $sdl_prefix unless a whole build is already there, with
# only what the game needs (video, events, joystick and game controller,
# timers): $1 names the target in the message, the rest is the configure
# command with the target's own options. One build at a time; a second
# caller waits and then finds it done.
build_sdl2_once() {
  local what=$1
  shift
  exec 9>"$cache/.lock"
  flock 9
  if [ ! -f "$sdl_prefix/.complete" ]; then
    local work=$sdl_prefix.work src
    rm -rf "$work" "$sdl_prefix"
    mkdir -p "$work"
    echo "== SDL2 $sdl_version for $what (once; kept in $sdl_prefix)"
    src=$(fetch_sdl2_source "$work")
    "$@" -S "$src" -B "$work/build" -G "Unix Makefiles" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$sdl_prefix" \
      -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
      -DSDL_AUDIO=OFF -DSDL_RENDER=OFF -DSDL_HAPTIC=OFF -DSDL_POWER=OFF -DSDL_SENSOR=OFF \
      -DSDL_LOCALE=OFF -DSDL_MISC=OFF \
      >"$work/configure.log" 2>&1 || { cat "$work/configure.log" >&2; exit 1; }
    cmake --build "$work/build" -j"$(nproc)" >"$work/build.log" 2>&1 || { tail -n 50 "$work/build.log" >&2; exit 1; }
    cmake --install "$work/build" >/dev/null
    touch "$sdl_prefix/.complete"
    rm -rf "$work"
  fi
  flock -u 9
}
