# Debian's own source package of the SDL2 the Linux build uses, for the
# builds that make SDL2 themselves (Windows, the web). Sourced by their
# scripts after `cache` is set; fetch_sdl2_source DIR unpacks the source
# into DIR and prints the path of its folder.
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
