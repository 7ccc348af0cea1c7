# Turns a text file into a C++ source defining one function that returns the text:
#   cmake -DINPUT=file -DOUTPUT=file.cpp -DNAMESPACE=ns -DFUNCTION=Name -P embed_text.cmake
# The text is written as byte values, so no character in it can end the literal early.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x[0-9a-f][0-9a-f]," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
get_filename_component(inputName "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${inputName} at build time; edit that file instead.
#include <string_view>

namespace ${NAMESPACE} {

namespace {
constexpr unsigned char kText[] = {
    ${bytes}0};
}  // namespace

std::string_view ${FUNCTION}() { return std::string_view(reinterpret_cast<const char*>(kText), ${size}); }

}  // namespace ${NAMESPACE}
")
# Only a changed text touches the output, so nothing is rebuilt for nothing.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
