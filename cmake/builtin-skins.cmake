# The packed skins compiled into the program, so that a skin file the
# program cannot use still leaves it a frame. Its own library, linked by the
# program alone: the skin tool that packs the skins links the skin layer and
# the frame controls, and must not wait for its own output.
set(BUILTIN_SKINS_CPP ${CMAKE_BINARY_DIR}/generated/BuiltInSkinData.cpp)
string(REPLACE ";" "|" packed_list "${PACKED_SKINS}")
add_custom_command(OUTPUT ${BUILTIN_SKINS_CPP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${CMAKE_COMMAND} -DOUT=${BUILTIN_SKINS_CPP} -DSKINS=${packed_list}
          -P ${CMAKE_SOURCE_DIR}/cmake/EmbedSkins.cmake
  DEPENDS ${PACKED_SKINS} ${CMAKE_SOURCE_DIR}/cmake/EmbedSkins.cmake
  COMMENT "Compiling in the shipped skins"
  VERBATIM)
file(GLOB builtin_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/skin/builtin/*.cpp)
add_library(skinshell_skinbuiltin STATIC ${builtin_sources} ${BUILTIN_SKINS_CPP})
target_include_directories(skinshell_skinbuiltin PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(skinshell_skinbuiltin PUBLIC skinshell_skin)
