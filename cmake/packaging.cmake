# Installing and packaging need the game only, not the tests and benchmarks.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# What a packaged game carries besides the program and its menu entry: the
# manual page, the store metadata, the copyright and changelog files, and
# the Debian package made of all of it (scripts/build-deb.sh).
if(NOT UNIX OR APPLE)
  return()
endif()

# The newest entry of the changelog is the release being built: its version
# must be the project's, and its date goes into the manual page and the
# store metadata.
set(changelog ${CMAKE_CURRENT_SOURCE_DIR}/dist/debian/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog})
file(STRINGS ${changelog} entry_lines REGEX "^vantaloop \\(|^ -- " LIMIT_COUNT 2)
list(GET entry_lines 0 heading)
list(GET entry_lines 1 signature)
string(REGEX REPLACE "^vantaloop \\(([^)]*)\\).*" "\\1" changelog_version "${heading}")
if(NOT changelog_version STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "dist/debian/changelog names ${changelog_version} as the newest release, "
                      "but the project is ${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION}")
endif()
if(NOT signature MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "dist/debian/changelog: no date in '${signature}'")
endif()
set(month_names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND month_names ${CMAKE_MATCH_2} month)
math(EXPR month "${month} + 1")
string(LENGTH "${month}" month_digits)
if(month_digits EQUAL 1)
  set(month "0${month}")
endif()
set(VANTALOOP_RELEASE_DATE "${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1}")

# Manual pages and the changelog are installed compressed, as the system's
# own are; gzip -n leaves out the time, so the same sources give the same
# package.
set(VANTALOOP_METAINFO_ID org.vantaloop.vantaloop)
set(dist_out ${CMAKE_CURRENT_BINARY_DIR}/dist)
configure_file(dist/vantaloop.6.in ${dist_out}/vantaloop.6 @ONLY)
configure_file(dist/${VANTALOOP_METAINFO_ID}.metainfo.xml.in
               ${dist_out}/${VANTALOOP_METAINFO_ID}.metainfo.xml @ONLY)
foreach(page ${dist_out}/vantaloop.6 ${changelog})
  get_filename_component(name ${page} NAME)
  execute_process(COMMAND gzip -9 -n -c ${page} OUTPUT_FILE ${dist_out}/${name}.gz
                  RESULT_VARIABLE gzip_failed)
  if(gzip_failed)
    message(FATAL_ERROR "gzip could not compress ${page}")
  endif()
endforeach()
# The launcher shares the game's page.
file(CREATE_LINK vantaloop.6.gz ${dist_out}/vantaloop-desktop.6.gz SYMBOLIC)

install(FILES ${dist_out}/vantaloop.6.gz ${dist_out}/vantaloop-desktop.6.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${dist_out}/${VANTALOOP_METAINFO_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES dist/debian/copyright ${dist_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantaloop)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "vantaloop maintainers <maintainers@vantaloop.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "fly through a city of boxes beside the ghosts of your earlier flights")
# Debian shows the description as it stands: lines of at most 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "vantaloop is a small real-time 3D flying game for one player. You fly a
first-person camera through a fixed city of flat-shaded boxes; the craft
keeps its cruise speed, levels its wings by itself and bounces off the ground.

Every flight is recorded. A long enough flight left with Escape is saved, and
later runs fly the saved flights again beside you as coloured ghost aircraft.
It steers with a joystick, a gamepad or the keyboard.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Debian keeps the programs of games in /usr/games.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb_games_dir.cmake)
include(CPack)
