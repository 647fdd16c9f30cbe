# Layer 3: the real program end to end, under Xvfb, driven by real key
# presses. Each script is one test; they share one Xvfb server per script.
# Built for Windows, the same scripts run the .exe under Wine (each in a Wine
# prefix of its own); those that need what only POSIX has say so and are
# skipped. The tools the scripts use (device_read, x11_close, frame_grab)
# are built with them. The scripts wait for frames, however slowly a busy
# machine draws them; the time limit only ends a script that hangs.
add_executable(device_read tests/e2e/tools/device_read.cpp)
target_link_libraries(device_read PRIVATE vantaloop_platform)
set(VANTALOOP_E2E_ENVIRONMENT "VANTALOOP_NO_DIALOGS=1;VANTALOOP_BUILD_DIR=${CMAKE_CURRENT_BINARY_DIR};VANTALOOP_DEVICE_READ=$<TARGET_FILE:device_read>")
if(WIN32)
  target_link_libraries(device_read PRIVATE SDL2::SDL2main)
else()
  find_package(X11 REQUIRED)
  add_executable(x11_close tests/e2e/tools/x11_close.cpp)
  target_link_libraries(x11_close PRIVATE X11::X11)
  add_library(frame_grab MODULE tests/e2e/tools/frame_grab.cpp)
  target_link_libraries(frame_grab PRIVATE SDL2::SDL2 ${CMAKE_DL_LIBS})
  list(APPEND VANTALOOP_E2E_ENVIRONMENT "VANTALOOP_X11_CLOSE=$<TARGET_FILE:x11_close>"
    "VANTALOOP_FRAME_GRAB=$<TARGET_FILE:frame_grab>")
endif()
file(GLOB VANTALOOP_E2E_TESTS CONFIGURE_DEPENDS tests/e2e/*_test.sh)
foreach(script ${VANTALOOP_E2E_TESTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME e2e.${name} COMMAND bash ${script} $<TARGET_FILE:vantaloop>)
  set_tests_properties(e2e.${name} PROPERTIES LABELS e2e TIMEOUT 1200 SKIP_RETURN_CODE 77
    ENVIRONMENT "${VANTALOOP_E2E_ENVIRONMENT}")
endforeach()
if(COMMAND vantaloop_run_tests_under_wine)
  vantaloop_run_tests_under_wine()
endif()
