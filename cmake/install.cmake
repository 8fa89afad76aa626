# make install and make package: the program folder in PREFIX/lib/skinshell,
# a link to it in PREFIX/bin, the skin tool, the desktop entry, the icon in
# the hicolor theme and the AppStream metadata.
if(NOT TARGET skinshell)
  return()
endif()

set(PROGRAM_DIR lib/skinshell)
install(TARGETS skinshell DESTINATION ${PROGRAM_DIR})
# A copy run from the build folder may have left its first-run marker and
# placement in dist/html: they are that copy's, not the installed one's.
install(DIRECTORY ${DIST_DIR}/html ${DIST_DIR}/stype DESTINATION ${PROGRAM_DIR}
  PATTERN installation.lock EXCLUDE
  PATTERN size.ini EXCLUDE
  PATTERN "*.tmp*" EXCLUDE)
install(TARGETS skinshell-skin DESTINATION bin)

# A relative link, so that the tree works wherever DESTDIR puts it; the
# program finds its folder from the resolved executable.
set(PROGRAM_LINK ${CMAKE_BINARY_DIR}/install/skinshell)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install)
file(CREATE_LINK ../${PROGRAM_DIR}/skinshell ${PROGRAM_LINK} SYMBOLIC)
install(FILES ${PROGRAM_LINK} DESTINATION bin)

# The icon, drawn at build time by the code that draws the window's icon.
add_executable(skinshell-icons ${CMAKE_SOURCE_DIR}/app/icons/main.cpp)
target_link_libraries(skinshell-icons PRIVATE skinshell_app)
set(ICON_DIR ${CMAKE_BINARY_DIR}/install/hicolor)
set(ICON_STAMP ${ICON_DIR}/256x256/apps/skinshell.png)
add_custom_command(OUTPUT ${ICON_STAMP}
  COMMAND skinshell-icons ${ICON_DIR}
  DEPENDS skinshell-icons
  COMMENT "Drawing the icon for the hicolor theme"
  VERBATIM)
add_custom_target(dist_icons ALL DEPENDS ${ICON_STAMP})
install(DIRECTORY ${ICON_DIR} DESTINATION share/icons)

install(FILES ${CMAKE_SOURCE_DIR}/packaging/skinshell.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/skinshell.metainfo.xml
  DESTINATION share/metainfo RENAME org.skinshell.Skinshell.metainfo.xml)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION share/doc/skinshell)
# Debian wants the changelog compressed, reproducibly (no name, no time).
set(CHANGELOG_GZ ${CMAKE_BINARY_DIR}/install/changelog.gz)
add_custom_command(OUTPUT ${CHANGELOG_GZ}
  COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/changelog > ${CHANGELOG_GZ}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog
  COMMENT "Compressing the package changelog")
add_custom_target(dist_changelog ALL DEPENDS ${CHANGELOG_GZ})
install(FILES ${CHANGELOG_GZ} DESTINATION share/doc/skinshell)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skinshell)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Skinshell maintainers <maintainers@skinshell.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "window with a skinned frame for installed HTML pages")
# The synopsis is the summary; CPack indents these lines under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Skinshell opens one window without a standard frame and shows the HTML
pages installed beside it in an embedded WebKitGTK view. Its title bar and
edges are drawn from a skin file of pictures; the skin tool skinshell-skin
packs, unpacks, inspects and previews skins.")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)

# The package is built and checked by the normal build's tests; the
# sanitized build's binaries are not what anyone installs.
if(NOT SKINSHELL_SANITIZE)
  add_test(NAME package COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-package.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(package PROPERTIES TIMEOUT 600)
endif()

# The installed program's functional test installs the tree, icons and all,
# and drives the skin tool.
if(TARGET functional_tests)
  add_dependencies(functional_tests dist_icons dist_changelog skinshell-skin)
endif()
