# Proves both hooks of the layer check: a clean tree configures and builds, an upward include
# added after configure fails the next build, and a fresh configure refuses it too.
#   -DVELMORA_CMAKE_DIR=<cmake/> -DFIXTURE_PROJECT=<build_check/> -DCLEAN_SRC=<clean src>
#   -DWORK_DIR=<scratch dir> -DGENERATOR=<generator>

function(run what expect_ok)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(output "${out}${err}" PARENT_SCOPE)
    if(expect_ok AND NOT rc EQUAL 0)
        message(FATAL_ERROR "${what} failed:\n${out}${err}")
    elseif(NOT expect_ok AND rc EQUAL 0)
        message(FATAL_ERROR "${what} succeeded but should have failed:\n${out}${err}")
    endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(COPY ${CLEAN_SRC} DESTINATION ${WORK_DIR})
set(configure ${CMAKE_COMMAND} -S ${FIXTURE_PROJECT} -B ${WORK_DIR}/build -G ${GENERATOR}
    -DVELMORA_CMAKE_DIR=${VELMORA_CMAKE_DIR} -DFIXTURE_SRC=${WORK_DIR}/src)
set(build ${CMAKE_COMMAND} --build ${WORK_DIR}/build)

run("configuring the clean tree" TRUE ${configure})
run("building the clean tree" TRUE ${build})

file(WRITE ${WORK_DIR}/src/preview/Late.cpp "#include \"preview/Render.h\"\n#include \"ui/MainWindow.h\"\n")
set(violation "src/preview/Late.cpp:2: preview may not include ui/MainWindow.h")
run("building after an upward include was added" FALSE ${build})
string(FIND "${output}" "${violation}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "the build failed without naming the upward include:\n${output}")
endif()

file(REMOVE_RECURSE ${WORK_DIR}/build)
run("configuring a tree with an upward include" FALSE ${configure})
string(FIND "${output}" "${violation}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "the configure failed without naming the upward include:\n${output}")
endif()
