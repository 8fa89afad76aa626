# Packs every skin source folder under skins/ into the program folder's
# stype/<name>.jss with the skin tool.
file(GLOB SKIN_FOLDERS LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/skins/*)
set(PACKED_SKINS)
foreach(folder IN LISTS SKIN_FOLDERS)
  if(NOT IS_DIRECTORY ${folder})
    continue()
  endif()
  get_filename_component(name ${folder} NAME)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*)
  set(packed ${DIST_DIR}/stype/${name}.jss)
  add_custom_command(OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DIST_DIR}/stype
    COMMAND $<TARGET_FILE:skinshell-skin> pack ${folder} ${packed}
    DEPENDS skinshell-skin ${sources}
    COMMENT "Packing skin ${name}"
    VERBATIM)
  list(APPEND PACKED_SKINS ${packed})
endforeach()
add_custom_target(dist_skins ALL DEPENDS ${PACKED_SKINS})

# The picture of the shipped skins in docs/, redrawn on request.
add_custom_target(skins_preview
  COMMAND $<TARGET_FILE:skinshell-skin> preview ${DIST_DIR}/stype/black-1.jss
          ${DIST_DIR}/stype/black-2.jss ${CMAKE_SOURCE_DIR}/docs/skins-preview.png 480
  DEPENDS dist_skins
  COMMENT "Drawing docs/skins-preview.png"
  VERBATIM)
