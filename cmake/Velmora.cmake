# Shared helpers for the project's CMake files.

include(GoogleTest)

# velmora_add_subdirs(<names...>): adds each named subfolder. A named folder without a
# CMakeLists.txt stops the configure: skipping it quietly would let a misspelt or not yet
# created folder, and a layer's tests with it, drop out of the build unnoticed.
function(velmora_add_subdirs)
    foreach(dir IN LISTS ARGN)
        if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
            message(FATAL_ERROR "velmora_add_subdirs: folder '${dir}' named in "
                "${CMAKE_CURRENT_LIST_FILE} has no CMakeLists.txt "
                "(looked for ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)")
        endif()
        add_subdirectory(${dir})
    endforeach()
endfunction()

# velmora_add_library(<name> SOURCES ... PUBLIC_LIBS ...): one static library per layer, headers
# included as "<layer>/File.h" from the src folder.
function(velmora_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS})
    target_compile_definitions(${name} PUBLIC QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
endfunction()

# velmora_add_test(NAME <name> SOURCES <files...> LIBS <libs...>): one GoogleTest executable,
# kept out of the program folder, its cases registered with CTest one by one.
function(velmora_add_test)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    target_include_directories(${ARG_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    target_compile_definitions(${ARG_NAME} PRIVATE
        VELMORA_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        VELMORA_PROGRAM_DIR="${VELMORA_PROGRAM_DIR}")
    set_target_properties(${ARG_NAME} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
        AUTOMOC ON)
    gtest_discover_tests(${ARG_NAME}
        TEST_PREFIX "${ARG_NAME}."
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0")
endfunction()
