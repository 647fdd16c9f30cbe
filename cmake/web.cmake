# The game as a web page, built with Emscripten (the web preset,
# scripts/build-web.sh): vantaloop.html with vantaloop.js and vantaloop.wasm
# beside it, served as they are by any static web host. The page keeps the
# data folder in the browser's IndexedDB (web/page_storage.js).
file(GLOB VANTALOOP_PLATFORM_SOURCES CONFIGURE_DEPENDS platform/*.cpp)
vantaloop_this_system_only(VANTALOOP_PLATFORM_SOURCES)
# Replays are not rendered into video files on the web.
list(REMOVE_ITEM VANTALOOP_PLATFORM_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/platform/main_web.cpp
     ${CMAKE_CURRENT_SOURCE_DIR}/platform/video_ffmpeg.cpp ${CMAKE_CURRENT_SOURCE_DIR}/platform/video_render.cpp)
add_library(vantaloop_platform STATIC ${VANTALOOP_PLATFORM_SOURCES})
if(TARGET SDL2::SDL2-static)
  target_link_libraries(vantaloop_platform PUBLIC vantaloop_core SDL2::SDL2-static)
else()
  target_link_libraries(vantaloop_platform PUBLIC vantaloop_core SDL2::SDL2)
endif()

set(VANTALOOP_WEB ${CMAKE_CURRENT_SOURCE_DIR}/web)
add_executable(vantaloop platform/main_web.cpp)
target_link_libraries(vantaloop PRIVATE vantaloop_platform)
target_compile_definitions(vantaloop PRIVATE VANTALOOP_VERSION="${PROJECT_VERSION}")
# One module the page can start afresh for every flight (createVantaloop),
# the data folder on IndexedDB, memory that grows with the ghosts.
target_link_options(vantaloop PRIVATE
  -sMODULARIZE=1 -sEXPORT_NAME=createVantaloop -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB
  -sMIN_WEBGL_VERSION=1 -sMAX_WEBGL_VERSION=1 -sENVIRONMENT=web
  "-sEXPORTED_RUNTIME_METHODS=['FS','ENV','ccall','UTF8ToString']" -lidbfs.js
  "SHELL:--pre-js ${VANTALOOP_WEB}/page_storage.js")
set_target_properties(vantaloop PROPERTIES LINK_DEPENDS ${VANTALOOP_WEB}/page_storage.js)
configure_file(${VANTALOOP_WEB}/vantaloop.html ${CMAKE_CURRENT_BINARY_DIR}/vantaloop.html COPYONLY)

if(VANTALOOP_GTEST)
  # The unit tests run under node, with the machine's own files.
  target_link_options(unit_tests PRIVATE -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=node)
endif()
