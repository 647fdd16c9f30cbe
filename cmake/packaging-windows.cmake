# What a Windows player gets: a ZIP (cpack -G ZIP, or scripts/build-windows.sh)
# with one folder holding vantaloop.exe, which runs as it is (SDL2 and the
# C++ runtime are linked in) and keeps its files in the player's own folder
# (%APPDATA%\vantaloop) when double-clicked, and a short text for the player.
install(TARGETS vantaloop RUNTIME DESTINATION .)
install(FILES dist/README-windows.txt DESTINATION . RENAME README.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vantaloop)
set(CPACK_PACKAGE_VENDOR vantaloop)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "A small 3D flying game through a city of boxes, with ghosts of earlier flights")
set(CPACK_PACKAGE_FILE_NAME vantaloop-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
