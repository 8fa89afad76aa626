# The functional tests: the real program under Xvfb (no window manager, then
# openbox, xfwm4 and mutter, these with and without a panel), plus the GTK
# backend's own logic, which needs no display.
if(SKINSHELL_GTK AND TARGET skinshell_gtk)
  file(GLOB FUNCTIONAL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/functional/*.cpp)
  if(FUNCTIONAL_SOURCES)
    add_executable(functional_tests ${FUNCTIONAL_SOURCES})
    target_link_libraries(functional_tests PRIVATE skinshell_gtk skinshell_testsupport
      GTest::gtest_main)
    if(TARGET skinshell)
      add_dependencies(functional_tests skinshell)
    endif()
    add_test(NAME functional COMMAND functional_tests WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(functional PROPERTIES TIMEOUT 600)
  endif()
endif()

# A small form on the GTK desktop that reports its events, for the backend's
# own functional tests.
if(SKINSHELL_GTK AND TARGET skinshell_gtk)
  add_executable(gtk_probe ${CMAKE_SOURCE_DIR}/tests/functional/probe/ProbeMain.cpp)
  target_link_libraries(gtk_probe PRIVATE skinshell_host skinshell_gtk)
  if(TARGET functional_tests)
    add_dependencies(functional_tests gtk_probe)
  endif()
endif()

# The desktop contract against GTK in the test program itself, on an Xvfb of
# its own: with no window manager, under openbox, and under a window manager
# that caps widths.
if(SKINSHELL_GTK AND TARGET skinshell_gtk AND TARGET conformance_tests)
  target_sources(conformance_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/conformance/gtk/GtkBackend.cpp
    ${CMAKE_SOURCE_DIR}/tests/functional/XSession.cpp)
  target_link_libraries(conformance_tests PRIVATE skinshell_gtk)
  foreach(backend gtk gtk-openbox gtk-testwm gtk-twoheads)
    add_test(NAME conformance_${backend} COMMAND conformance_tests
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(conformance_${backend} PROPERTIES ENVIRONMENT SKINSHELL_BACKEND=${backend}
      TIMEOUT 300)
  endforeach()
endif()

# The kill test holds the program's placement write in fsync with this.
if(SKINSHELL_GTK AND TARGET functional_tests)
  add_library(hold_fsync SHARED ${CMAKE_SOURCE_DIR}/tests/functional/hold/HoldFsync.cpp)
  target_link_libraries(hold_fsync PRIVATE dl)
  add_dependencies(functional_tests hold_fsync)
  target_compile_definitions(functional_tests PRIVATE
    SKINSHELL_HOLD_FSYNC="$<TARGET_FILE:hold_fsync>")
endif()
