# torvik_library_test_properties(<test executable> [X11_LOCK])
# For tests of code that uses GTK, pango or fontconfig: under AddressSanitizer the caches
# those libraries keep for the life of the process are not reported as leaks (see
# lsan-gui.supp; our own code is still checked), and under ThreadSanitizer the races inside
# fontconfig's start-up thread are not reported (tsan-gui.supp). X11_LOCK makes the executable's tests take
# turns on the one X display, whose keyboard focus they share, and labels them "window" (CI runs them
# again under a window manager).
function(torvik_library_test_properties target)
  cmake_parse_arguments(P "X11_LOCK" "" "" ${ARGN})
  set(props "ENVIRONMENT \"LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan-gui.supp:print_suppressions=0;TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/tsan-gui.supp:halt_on_error=1:second_deadlock_stack=1;GDK_BACKEND=x11;NO_AT_BRIDGE=1\"")
  if(P_X11_LOCK)
    string(APPEND props " RESOURCE_LOCK x11_display LABELS \"unit;window\"")
  endif()
  set(file "${CMAKE_CURRENT_BINARY_DIR}/${target}_properties.cmake")
  file(WRITE ${file} "if(${target}_TESTS)\n  set_tests_properties(\${${target}_TESTS} PROPERTIES ${props})\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${file})
endfunction()
