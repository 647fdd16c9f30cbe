# What Debian's Emscripten needs from its surroundings: its JavaScript tools
# find their node modules only in Debian's own folder. Sourced by the web
# build and its tests.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
