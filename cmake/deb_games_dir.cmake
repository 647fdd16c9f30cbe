# Run by cpack on the staged files of the Debian package: the game and its
# launcher move from /usr/bin to /usr/games, where Debian keeps games.
set(staged "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
file(RENAME "${staged}/bin" "${staged}/games")
