# Embed.cmake - turns the report templates rpReportN.xml into one C++ source of byte arrays.
#
# Run as: cmake -DOUT=<file.cpp> -DFILES=<a.xml;b.xml;...> -P Embed.cmake
# The files stay UTF-8 bytes (numbers, not string literals), untouched by the CP1251
# execution character set; the program converts them when it loads a template.
set(body "// Generated from app/forms/templates/*.xml by Embed.cmake; do not edit.\n")
string(APPEND body "#include \"app/documents/Reports.h\"\n\nnamespace {\n")
set(table "")
set(i 0)
foreach(f IN LISTS FILES)
  get_filename_component(stem "${f}" NAME_WE)
  string(REGEX REPLACE "^rpReport" "" number "${stem}")
  file(READ "${f}" hex HEX)
  string(LENGTH "${hex}" n)
  math(EXPR bytes "${n} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," data "${hex}")
  string(APPEND body "const unsigned char kData${i}[] = {${data}0};\n")
  string(APPEND table "    {${number}, kData${i}, ${bytes}},\n")
  math(EXPR i "${i} + 1")
endforeach()
string(APPEND body "}  // namespace\n\nconst TEmbeddedTemplate kEmbeddedTemplates[] = {\n${table}};\n")
string(APPEND body "const int kEmbeddedTemplateCount = ${i};\n")
file(WRITE "${OUT}.tmp" "${body}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
