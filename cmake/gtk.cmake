# The real program on Linux: GTK 3 + WebKitGTK on X11.
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
pkg_check_modules(WEBKIT REQUIRED IMPORTED_TARGET webkit2gtk-4.1)
pkg_check_modules(X11EXT REQUIRED IMPORTED_TARGET x11 xext)

skinshell_layer(skinshell_gtk platform/gtk)
target_link_libraries(skinshell_gtk PUBLIC skinshell_platform PkgConfig::GTK3 PkgConfig::WEBKIT
  PkgConfig::X11EXT)

if(EXISTS ${CMAKE_SOURCE_DIR}/app/main.cpp)
  add_executable(skinshell ${CMAKE_SOURCE_DIR}/app/main.cpp)
  target_link_libraries(skinshell PRIVATE skinshell_app skinshell_gtk)
  set_target_properties(skinshell PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${DIST_DIR})
  add_dependencies(skinshell dist_html)
  if(TARGET dist_skins)
    add_dependencies(skinshell dist_skins)
  endif()

endif()

# The same page in a bare undecorated window with one web view, as the
# yardstick for start-up time and memory.
# It traces its sizes with the program's own bookkeeping.
add_executable(bare_webkit ${CMAKE_SOURCE_DIR}/bench/bare_webkit.cpp
  ${CMAKE_SOURCE_DIR}/platform/gtk/ResizeTrace.cpp)
target_include_directories(bare_webkit PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(bare_webkit PRIVATE PkgConfig::GTK3 PkgConfig::WEBKIT)
