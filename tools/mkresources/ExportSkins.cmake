# Makes the sample skins from what `mkresources --skins` painted: one `velmora-cli export` per
# line of skins.txt, which names the skin and the export options for its pictures.
#
#   cmake -DCLI=<velmora-cli> -DPAINTED=<mkresources --skins folder> -DOUT=<skins folder>
#         -P ExportSkins.cmake
foreach(variable CLI PAINTED OUT)
    if(NOT IS_ABSOLUTE "${${variable}}")
        message(FATAL_ERROR "ExportSkins.cmake: ${variable} must be an absolute path")
    endif()
endforeach()

file(STRINGS ${PAINTED}/skins.txt skins)
if(NOT skins)
    message(FATAL_ERROR "ExportSkins.cmake: ${PAINTED}/skins.txt names no skin")
endif()
file(MAKE_DIRECTORY ${OUT})
foreach(entry IN LISTS skins)
    list(POP_FRONT entry name)
    # A skin that moved from bitmaps to embedded pictures must not leave its old .mbm behind.
    file(REMOVE ${OUT}/${name}.mbm)
    execute_process(
        COMMAND ${CLI} export -o ${OUT} --kind skin+mif --name ${name}
                --json ${PAINTED}/${name}.json
                --background ${PAINTED}/${name}-back.png --cursor ${PAINTED}/${name}-cursor.png
                ${entry}
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
