# cmake -DOUT=file.cpp -DSKINS=a.jss|b.jss -P EmbedSkins.cmake
# Writes the packed skins into a C++ source as byte arrays, for the frame's
# built-in skins. Plain C++ data: no resource system of any platform.
string(REPLACE "|" ";" SKINS "${SKINS}")
set(arrays "")
# One line a row of 16 bytes.
string(REPEAT "0x..," 16 row)
set(table "")
foreach(file IN LISTS SKINS)
  get_filename_component(name ${file} NAME_WE)
  string(MAKE_C_IDENTIFIER "skin_${name}" id)
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(${row})" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "const std::uint8_t ${id}[] = {\n${bytes}\n};\n\n")
  string(APPEND table "    {\"${name}\", ${id}},\n")
endforeach()
file(WRITE ${OUT}.new
"// Generated from the packed skins by cmake/EmbedSkins.cmake; do not edit.
#include \"skin/builtin/BuiltInSkins.h\"

namespace skin {

namespace {

${arrays}const BuiltInSkin skins[] = {
${table}};

}  // namespace

std::span<const BuiltInSkin> BuiltInSkins() {
  return skins;
}

}  // namespace skin
")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
