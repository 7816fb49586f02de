# Read by cpack before it packs.

# The source archive unpacks to the source tree itself, not under the binary package's /usr.
if(CPACK_SOURCE_INSTALLED_DIRECTORIES)
    set(CPACK_PACKAGING_INSTALL_PREFIX "")
    return()
endif()

# A binary package must carry the optimised program: a Debug or sanitizer build would install
# fine and then run slowly, or not at all without the sanitizer runtime, on the user's machine.
if(NOT CPACK_VELMORA_BUILD_TYPE STREQUAL "Release" OR CPACK_VELMORA_SANITIZE)
    message(FATAL_ERROR "Velmora packages are made from a Release build without sanitizers; "
        "this build folder is '${CPACK_VELMORA_BUILD_TYPE}' with VELMORA_SANITIZE="
        "${CPACK_VELMORA_SANITIZE}. Configure one with -DCMAKE_BUILD_TYPE=Release.")
endif()
