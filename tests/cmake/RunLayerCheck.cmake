# Runs CheckLayers.cmake on a fixture tree and compares what it reports with what it should.
#   -DCHECK_SCRIPT=<CheckLayers.cmake> -DSRC=<fixture src dir>
#   [-DVIOLATIONS=<file>]    the exact "file:line: ..." lines expected, one per line
#   [-DLAYERS_FILE=<file>]   another ladder than cmake/Layers.cmake
#   [-DTOOLS=<dir>]          a fixture tools folder to check as well
#   [-DERROR=<text>]         text the error must contain (line wrapping ignored)
# The check must fail exactly when violations or an error are expected.

set(args -DVELMORA_SRC=${SRC} -DVELMORA_TOOLS_DIR=${TOOLS})
if(LAYERS_FILE)
    list(APPEND args -DVELMORA_LAYERS_FILE=${LAYERS_FILE})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} ${args} -P ${CHECK_SCRIPT}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(output "${out}${err}")

set(expected "")
if(VIOLATIONS)
    file(STRINGS ${VIOLATIONS} expected)
endif()
string(REGEX MATCHALL "[^\n]+:[0-9]+: [^\n]+ may not include [^\n]+" reported "${err}")
list(SORT expected)
list(SORT reported)
if(NOT reported STREQUAL expected)
    list(JOIN expected "\n" expected_text)
    list(JOIN reported "\n" reported_text)
    message(FATAL_ERROR "expected violations:\n${expected_text}\n"
        "reported violations:\n${reported_text}\nfull output:\n${output}")
endif()

if(expected OR ERROR)
    if(rc EQUAL 0)
        message(FATAL_ERROR "the check passed but should have failed:\n${output}")
    endif()
elseif(NOT rc EQUAL 0)
    message(FATAL_ERROR "the check failed on a clean tree:\n${output}")
endif()

if(ERROR)
    string(REGEX REPLACE "[ \n]+" " " flat "${err}")
    string(FIND "${flat}" "${ERROR}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the error does not say \"${ERROR}\":\n${output}")
    endif()
endif()
