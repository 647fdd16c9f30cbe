# Replays rendered into video files (--replay N --video FILE) are built
# where FFmpeg's libraries are found; elsewhere, and on Windows, the game is
# built without them and says so.
if(NOT WIN32)
  find_package(PkgConfig QUIET)
  if(PKG_CONFIG_FOUND)
    pkg_check_modules(FFMPEG IMPORTED_TARGET libavformat libavcodec libswscale libavutil)
  endif()
endif()
if(FFMPEG_FOUND)
  target_sources(vantaloop_platform PRIVATE platform/video_ffmpeg.cpp platform/video_render.cpp)
  target_link_libraries(vantaloop_platform PUBLIC PkgConfig::FFMPEG)
  target_compile_definitions(vantaloop_platform PUBLIC VANTALOOP_VIDEO=1)
else()
  message(STATUS "FFmpeg's libraries (libavformat, libavcodec, libswscale, libavutil) not found: "
                 "the game is built without --video")
endif()
