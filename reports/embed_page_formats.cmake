# Turns the page-format drawings into a C++ source file, so that the formats are part of the
# library and need no files at run time. Called with OUTPUT and FORMATS (a list of .svg files
# whose names start with the format's number).
set(entries "")
set(arrays "")
foreach(path IN LISTS FORMATS)
  get_filename_component(name "${path}" NAME)
  string(REGEX MATCH "^[0-9]+" number "${name}")
  if(number STREQUAL "")
    message(FATAL_ERROR "Page format ${name} does not start with its number")
  endif()
  file(READ "${path}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND arrays "const char kFormat${number}[] = {${bytes}};\n")
  string(APPEND entries "    {${number}u, {kFormat${number}, sizeof kFormat${number}}},\n")
endforeach()
file(WRITE "${OUTPUT}.new" "// Generated from reports/page_formats/*.svg; do not edit.
#include <algorithm>
#include <iterator>
#include <utility>

#include \"reports/page_format.h\"

namespace {
${arrays}
const std::pair<uint32_t, std::string_view> kFormats[] = {
${entries}};
}  // namespace

std::string_view BuiltInPageFormat(uint32_t number) {
  for (const auto& [formatNumber, svg] : kFormats) {
    if (formatNumber == number)
      return svg;
  }
  return {};
}

std::vector<uint32_t> BuiltInPageFormatNumbers() {
  std::vector<uint32_t> numbers;
  for (const auto& format : kFormats)
    numbers.push_back(format.first);
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
