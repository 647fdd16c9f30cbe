# The one build folder that ./play.sh, ./test.sh and scripts/build-deb.sh
# share, configured the same way by each: optimised with debugging
# information (the package strips it), so that after one of them the others
# find the game already built.
configure_build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTALOOP_BENCH=ON >/dev/null
}
