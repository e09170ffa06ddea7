# Writes a C++ file that holds the procedure sets as byte arrays, so that the
# native build stores them as the Windows build does in its resources.
# Usage: cmake -DOUTPUT=file.cpp -DNUP=nup.ps -DEPS=eps.ps -P embed_resources.cmake
function(byte_array name file out)
    file(READ "${file}" hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    set(${out} "const unsigned char ${name}[] = {${bytes}};\n" PARENT_SCOPE)
endfunction()
byte_array(kNupProcSet "${NUP}" nup)
byte_array(kEpsProcSet "${EPS}" eps)
file(WRITE "${OUTPUT}.tmp" "// Generated from resources/nup.ps and resources/eps.ps; do not edit.
#include \"output/stored_resource.h\"

namespace {
${nup}${eps}}  // namespace

bool LoadStoredResource(int id, const char** data, size_t* size) {
    if (id == kResourceNupProcSet) {
        *data = reinterpret_cast<const char*>(kNupProcSet);
        *size = sizeof kNupProcSet;
        return true;
    }
    if (id == kResourceEpsProcSet) {
        *data = reinterpret_cast<const char*>(kEpsProcSet);
        *size = sizeof kEpsProcSet;
        return true;
    }
    return false;
}
")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${OUTPUT}.tmp" "${OUTPUT}")
file(REMOVE "${OUTPUT}.tmp")
