# Embed.cmake - turns the window layouts into one C++ source of byte arrays.
#
# Run as: cmake -DOUT=<file.cpp> -DFILES=<a.dfm;b.dfm;...> -P Embed.cmake
# The layouts stay UTF-8: they are written as numbers, not string literals, so the
# CP1251 execution character set of the build never touches them.
set(body "// Generated from app/forms/*.dfm by Embed.cmake; do not edit.\n")
string(APPEND body "#include \"app/shell/Layouts.h\"\n\nnamespace {\n")
set(table "")
set(i 0)
foreach(f IN LISTS FILES)
  get_filename_component(unit "${f}" NAME_WE)
  file(READ "${f}" hex HEX)
  string(LENGTH "${hex}" n)
  math(EXPR bytes "${n} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," data "${hex}")
  string(APPEND body "const unsigned char kData${i}[] = {${data}0};\n")
  string(APPEND table "    {\"${unit}\", kData${i}, ${bytes}},\n")
  math(EXPR i "${i} + 1")
endforeach()
string(APPEND body "}  // namespace\n\nconst TEmbeddedLayout kEmbeddedLayouts[] = {\n${table}};\n")
string(APPEND body "const int kEmbeddedLayoutCount = ${i};\n")
file(WRITE "${OUT}.tmp" "${body}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
