# Run by cpack before it packs the staging folder (CPACK_PRE_BUILD_SCRIPTS):
# Debian ships manual pages compressed, so each one installed is gzipped in
# place (-n: no name or time inside, the same bytes each time) and a link to
# a page becomes a link to the compressed page.
find_program(GZIP gzip REQUIRED)
set(man "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/${CPACK_VELVANTO_MANDIR}")
file(GLOB_RECURSE pages LIST_DIRECTORIES false "${man}/*")
foreach(page ${pages})
    if(page MATCHES "\\.gz$")
        continue()
    endif()
    if(IS_SYMLINK "${page}")
        file(READ_SYMLINK "${page}" target)
        file(REMOVE "${page}")
        file(CREATE_LINK "${target}.gz" "${page}.gz" SYMBOLIC)
    else()
        execute_process(COMMAND "${GZIP}" -9nf "${page}" COMMAND_ERROR_IS_FATAL ANY)
    endif()
endforeach()
