# The documents a Debian package carries beside the programs: the copyright file, the changelog and a man page for
# each program. The man pages are made from each program's own --help, so they cannot drift from it.

set(LUMARET_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/lumarettool)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/copyright DESTINATION ${LUMARET_DOC_DIR})

# gzip -n leaves out the name and time stamp, so the same sources make the same package.
configure_file(changelog.in ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian @ONLY)
add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz
    COMMAND gzip -9nfk changelog.Debian
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
add_custom_target(lumaret_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz DESTINATION ${LUMARET_DOC_DIR})
# The package is not uploaded to Debian, so its first changelog entry has no ITP bug to close.
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME lumarettool)

find_program(HELP2MAN help2man)
if(NOT HELP2MAN)
    message(STATUS "help2man not found: no man pages (scripts/bootstrap installs it)")
    return()
endif()

function(lumaret_man_page program summary)
    if(NOT TARGET ${program})
        return()
    endif()
    set(man ${CMAKE_BINARY_DIR}/packaging/man)
    set(page ${man}/${program}.1)
    add_custom_command(
        OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${man}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${HELP2MAN} --no-info --no-discard-stderr
                --name=${summary} --output=${page} $<TARGET_FILE:${program}>
        COMMAND gzip -9nf ${page}
        DEPENDS ${program}
        VERBATIM)
    add_custom_target(man_${program} ALL DEPENDS ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

# Like the companions' install rules, the pages wait until every program of the tree is defined; the one line of
# each page's NAME section is what apropos and whatis show.
function(lumaret_man_pages)
    include(GNUInstallDirs) # the call runs in the top-level directory, which has not included it
    lumaret_man_page(LumaretTool "keep a figure catalogue and carry figures between catalogues")
    lumaret_man_page(lumaret-transfer "export and import figures of a LumaretTool catalogue from scripts")
    lumaret_man_page(lumaret-convert "convert an Access figure catalogue into a LumaretTool catalogue")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL lumaret_man_pages)
