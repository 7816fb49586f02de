# Enforces the layer ladder of Layers.cmake on the quoted "<layer>/..." includes of the sources.
#
# As a script:   cmake -DVELMORA_SRC=<src dir> [-DVELMORA_TOOLS_DIR=<tools dir>]
#                      -P cmake/CheckLayers.cmake
# From CMake:    include(cmake/CheckLayers.cmake)
#                velmora_check_layers(<src dir> [<tools dir>])        checks now (configure time)
#                velmora_add_layer_check_target(<target> <src dir> [<tools dir>])
#                                                                   checks on every build
# The tools' folders are checked against VELMORA_TOOL_<name>_MAY_INCLUDE.
#
# Each violation is printed as one "file:line: ..." line, which editors and CI logs can jump to,
# and the run fails. VELMORA_LAYERS_FILE may point at another ladder (the tests use that).

if(CMAKE_SCRIPT_MODE_FILE)
    # Script mode starts with every policy unset; the functions below rely on IN_LIST.
    cmake_minimum_required(VERSION 3.25)
endif()

if(NOT VELMORA_LAYERS_FILE)
    set(VELMORA_LAYERS_FILE ${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)
endif()
include(${VELMORA_LAYERS_FILE})
set(VELMORA_CHECK_LAYERS_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

# A layer may only lean on layers listed before it; anything else would let the ladder grow a
# cycle through an innocent-looking edit.
function(_velmora_check_ladder)
    set(below "")
    foreach(layer IN LISTS VELMORA_LAYERS)
        foreach(other IN LISTS VELMORA_LAYER_${layer}_MAY_INCLUDE)
            if(NOT other IN_LIST below)
                message(FATAL_ERROR "${VELMORA_LAYERS_FILE}: ${layer} may include ${other}, "
                    "which is not a layer listed before ${layer} in VELMORA_LAYERS")
            endif()
        endforeach()
        list(APPEND below ${layer})
    endforeach()
endfunction()

# Appends to `out` (in the caller) one message per include in `file` that `layer` may not make;
# `may_var` names the list of layers it may include.
function(_velmora_check_file file layer may_var shown_root out)
    set(allowed ${layer} ${${may_var}})
    # Letting file(STRINGS) pick out the lines that look like quoted includes with a folder keeps
    # the usual, clean case fast: the rest of the text never reaches CMake's own loops.
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
    set(bad "")
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"(([^\"/]+)/[^\"]*)\"")
            continue()
        endif()
        set(directive "${CMAKE_MATCH_0}")
        set(header "${CMAKE_MATCH_1}")
        set(to_layer "${CMAKE_MATCH_2}")
        if(NOT to_layer IN_LIST VELMORA_LAYERS OR to_layer IN_LIST allowed
                OR header IN_LIST VELMORA_LAYER_SHARED_HEADERS)
            continue()
        endif()
        list(APPEND bad "${directive}|${header}")
    endforeach()
    if(NOT bad)
        return()
    endif()

    # Only files with a violation pay for line numbers: find each offending directive at the
    # start of a line, in order, so a header included twice gets both of its lines.
    file(READ "${file}" content)
    string(PREPEND content "\n")
    set(offset 0)
    file(RELATIVE_PATH shown "${shown_root}" "${file}")
    list(JOIN ${may_var} ", " may)
    if(may STREQUAL "")
        set(may "no other layer")
    endif()
    set(found ${${out}})
    foreach(entry IN LISTS bad)
        string(REGEX MATCH "^(.*)\\|([^|]*)$" _ "${entry}")
        set(directive "${CMAKE_MATCH_1}")
        set(header "${CMAKE_MATCH_2}")
        string(SUBSTRING "${content}" ${offset} -1 rest)
        string(FIND "${rest}" "\n${directive}" at)
        if(at EQUAL -1)
            # file(STRINGS) splits lines at non-ASCII bytes, so a fragment of a comment can look
            # like a directive; what is not at the start of a real line is no include.
            continue()
        endif()
        math(EXPR at "${offset} + ${at}")
        math(EXPR offset "${at} + 1")
        string(SUBSTRING "${content}" 0 ${offset} head)
        string(REGEX REPLACE "[^\n]+" "" newlines "${head}")
        string(LENGTH "${newlines}" line_number)
        list(APPEND found
            "${shown}:${line_number}: ${layer} may not include ${header} (${layer} may include: ${may})")
    endforeach()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

# velmora_check_layers(<src dir>): fails with FATAL_ERROR when a source under a layer folder of
# <src dir> includes a header the ladder does not allow. Files are named relative to the folder
# holding <src dir>, e.g. src/preview/X.cpp. Layer folders that do not exist are skipped.
function(velmora_check_layers src_dir)
    set(tools_dir "${ARGV1}")
    _velmora_check_ladder()
    get_filename_component(src_dir "${src_dir}" ABSOLUTE)
    get_filename_component(shown_root "${src_dir}" DIRECTORY)

    set(violations "")
    set(scanned "")
    foreach(layer IN LISTS VELMORA_LAYERS)
        if(NOT IS_DIRECTORY "${src_dir}/${layer}")
            continue()
        endif()
        list(APPEND scanned ${layer})
        file(GLOB_RECURSE files LIST_DIRECTORIES false
            "${src_dir}/${layer}/*.h" "${src_dir}/${layer}/*.hpp" "${src_dir}/${layer}/*.cpp")
        foreach(file IN LISTS files)
            _velmora_check_file("${file}" ${layer} VELMORA_LAYER_${layer}_MAY_INCLUDE
                "${shown_root}" violations)
        endforeach()
    endforeach()
    if(tools_dir)
        get_filename_component(tools_dir "${tools_dir}" ABSOLUTE)
        get_filename_component(tools_root "${tools_dir}" DIRECTORY)
        file(GLOB tool_dirs LIST_DIRECTORIES true "${tools_dir}/*")
        foreach(dir IN LISTS tool_dirs)
            if(NOT IS_DIRECTORY "${dir}")
                continue()
            endif()
            get_filename_component(tool "${dir}" NAME)
            # A new tool must say what it leans on before it can build.
            if(NOT tool IN_LIST VELMORA_TOOLS)
                list(APPEND violations "tools/${tool}: not in VELMORA_TOOLS of ${VELMORA_LAYERS_FILE}")
                continue()
            endif()
            file(GLOB_RECURSE files LIST_DIRECTORIES false
                "${dir}/*.h" "${dir}/*.hpp" "${dir}/*.cpp")
            foreach(file IN LISTS files)
                _velmora_check_file("${file}" tools/${tool} VELMORA_TOOL_${tool}_MAY_INCLUDE
                    "${tools_root}" violations)
            endforeach()
        endforeach()
    endif()

    # A wrong folder would otherwise pass with nothing checked.
    if(NOT scanned)
        message(FATAL_ERROR "velmora_check_layers: ${src_dir} has none of the layer folders "
            "${VELMORA_LAYERS}")
    endif()
    if(violations)
        # NOTICE prints each line unwrapped, unlike the error text below.
        foreach(violation IN LISTS violations)
            message(NOTICE "${violation}")
        endforeach()
        list(LENGTH violations count)
        message(FATAL_ERROR "${count} include(s) or tool folder(s) break the layer ladder of ${VELMORA_LAYERS_FILE}")
    endif()
endfunction()

# velmora_add_layer_check_target(<target> <src dir>): reruns the check on every build, so an
# upward include added after configure still fails the build. The target produces no files and
# nothing depends on it, so it never makes anything relink.
function(velmora_add_layer_check_target name src_dir)
    get_filename_component(src_dir "${src_dir}" ABSOLUTE)
    set(tools_dir "${ARGV2}")
    if(tools_dir)
        get_filename_component(tools_dir "${tools_dir}" ABSOLUTE)
    endif()
    add_custom_target(${name} ALL
        COMMAND ${CMAKE_COMMAND} -DVELMORA_SRC=${src_dir} "-DVELMORA_TOOLS_DIR=${tools_dir}"
                -DVELMORA_LAYERS_FILE=${VELMORA_LAYERS_FILE}
                -P ${VELMORA_CHECK_LAYERS_SCRIPT}
        COMMENT "Checking includes against the layer ladder"
        VERBATIM)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
    get_filename_component(_script ${CMAKE_SCRIPT_MODE_FILE} REALPATH)
    get_filename_component(_this ${CMAKE_CURRENT_LIST_FILE} REALPATH)
    if(_script STREQUAL _this)
        if(NOT VELMORA_SRC)
            message(FATAL_ERROR "usage: cmake -DVELMORA_SRC=<src dir> -P ${CMAKE_CURRENT_LIST_FILE}")
        endif()
        if(NOT IS_DIRECTORY "${VELMORA_SRC}")
            message(FATAL_ERROR "VELMORA_SRC=${VELMORA_SRC} is not a folder")
        endif()
        velmora_check_layers("${VELMORA_SRC}" "${VELMORA_TOOLS_DIR}")
    endif()
endif()
