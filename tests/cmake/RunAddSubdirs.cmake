# Configures the add_subdirs fixture project: naming only existing folders adds them; naming a
# folder without a CMakeLists.txt must stop the configure and say which folder and which file.
#   -DVELMORA_CMAKE_DIR=<cmake/> -DFIXTURE_PROJECT=<add_subdirs/> -DWORK_DIR=<scratch dir>
#   -DGENERATOR=<generator> -DWITH_MISSING=ON|OFF

file(REMOVE_RECURSE ${WORK_DIR})
execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${FIXTURE_PROJECT} -B ${WORK_DIR} -G ${GENERATOR}
        -DVELMORA_CMAKE_DIR=${VELMORA_CMAKE_DIR} -DWITH_MISSING=${WITH_MISSING}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(output "${out}${err}")

if(NOT output MATCHES "fixture folder 'present' added")
    message(FATAL_ERROR "the existing folder was not added:\n${output}")
endif()
if(NOT WITH_MISSING)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "configuring with existing folders only failed:\n${output}")
    endif()
    return()
endif()

if(rc EQUAL 0)
    message(FATAL_ERROR "naming a folder without a CMakeLists.txt did not fail the configure:\n${output}")
endif()
string(REGEX REPLACE "[ \n]+" " " flat "${err}")
set(wanted "velmora_add_subdirs: folder 'missing' named in ${FIXTURE_PROJECT}/CMakeLists.txt has no CMakeLists.txt")
string(FIND "${flat}" "${wanted}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "the error does not say \"${wanted}\":\n${output}")
endif()
