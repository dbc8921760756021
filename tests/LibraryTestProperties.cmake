# torvik_library_test_properties(<test executable> [X11_LOCK])
# For tests of code that uses GTK, pango or fontconfig: under AddressSanitizer the caches
# those libraries keep for the life of the process are not reported as leaks (see
# lsan-gui.supp; our own code is still checked). X11_LOCK makes the executable's tests take
# turns on the one X display, whose keyboard focus they share. TEXT_THREADS is for tests that
# draw text on worker threads: under ThreadSanitizer the font libraries' own locking, which it
# cannot see, is not reported (see tsan-text.supp).
function(torvik_library_test_properties target)
  cmake_parse_arguments(P "X11_LOCK;TEXT_THREADS" "" "" ${ARGN})
  set(env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan-gui.supp:print_suppressions=0;GDK_BACKEND=x11;NO_AT_BRIDGE=1")
  if(P_TEXT_THREADS)
    string(APPEND env ";TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/tsan-text.supp:halt_on_error=1:second_deadlock_stack=1")
  endif()
  set(props "ENVIRONMENT \"${env}\"")
  if(P_X11_LOCK)
    string(APPEND props " RESOURCE_LOCK x11_display")
  endif()
  set(file "${CMAKE_CURRENT_BINARY_DIR}/${target}_properties.cmake")
  file(WRITE ${file} "if(${target}_TESTS)\n  set_tests_properties(\${${target}_TESTS} PROPERTIES ${props})\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${file})
endfunction()
