# The Windows program: the Win32 desktop and skinshell.exe in the program
# folder, a GUI program with no DLLs beside it beyond the system's.
enable_language(RC)
skinshell_layer(skinshell_win platform/win/desktop)
target_link_libraries(skinshell_win PUBLIC skinshell_platform user32 gdi32 ole32 oleaut32 oleacc uuid shcore
  shell32 shlwapi advapi32)

# windres does not say which files a script includes: the manifest's changes
# must rebuild the resources of the program and of the test programs.
set_source_files_properties(${CMAKE_SOURCE_DIR}/app/skinshell.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/app/skinshell.manifest)
add_executable(skinshell WIN32 ${CMAKE_SOURCE_DIR}/app/main.cpp
  ${CMAKE_SOURCE_DIR}/app/skinshell.rc)
target_link_libraries(skinshell PRIVATE skinshell_app skinshell_win)
# The shipped program carries no symbol table.
target_link_options(skinshell PRIVATE $<$<CONFIG:Release>:-s>)

set_target_properties(skinshell PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${DIST_DIR})
# The skin tool beside the build's other programs in bin/, stripped the same.
target_link_options(skinshell-skin PRIVATE $<$<CONFIG:Release>:-s>)
add_dependencies(skinshell dist_html)

# The packed skins of the Linux build (see CMakeLists.txt).
add_custom_target(dist_skins_win ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DIST_DIR}/stype
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${SKINSHELL_HOST_DIST}/stype ${DIST_DIR}/stype
  COMMENT "Copying the packed skins into the Windows program folder")

# The program under Wine on Xvfb, with no window manager and under openbox.
# Both share the run's display and Wine server, so they never overlap.
add_test(NAME program COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/windows/program_test.py
  ${DIST_DIR} ${CMAKE_BINARY_DIR}/wineprefix)
add_test(NAME program_openbox COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/windows/program_test.py
  ${DIST_DIR} ${CMAKE_BINARY_DIR}/wineprefix --openbox)
# At the display scales of 100, 150 and 200 %, on a screen of its own.
add_test(NAME program_dpi COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/windows/program_test.py
  ${DIST_DIR} ${CMAKE_BINARY_DIR}/wineprefix --dpi 96,144,192)
set_tests_properties(program program_openbox program_dpi PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)

# The shipped pages' scripts and style within what the system's browser
# control reads.
add_test(NAME pages COMMAND node ${CMAKE_SOURCE_DIR}/tests/windows/pages_test.js
  ${CMAKE_SOURCE_DIR}/html)
# Debian's node modules (acorn, css-tree) for whichever node is on the PATH.
set_tests_properties(pages PROPERTIES ENVIRONMENT NODE_PATH=/usr/share/nodejs)
