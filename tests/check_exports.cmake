# A plug-in must export its entry points and nothing else: Zandrel.so
# VSTPluginMain and main, Zandrel.clap clap_entry, the LV2 binary
# lv2_descriptor.
#   cmake -DPLUGIN=FILE -DEXPECTED=NAME[,NAME...] -P check_exports.cmake
execute_process(COMMAND nm -D --defined-only ${PLUGIN} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "nm failed on ${PLUGIN}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${out}")
set(names "")
foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "" name "${line}")
    list(APPEND names "${name}")
endforeach()
list(SORT names)
string(REPLACE "," ";" expected "${EXPECTED}")
list(SORT expected)
if(NOT names STREQUAL expected)
    message(FATAL_ERROR "${PLUGIN} exports: ${names}")
endif()
message(STATUS "exports: ${names}")
