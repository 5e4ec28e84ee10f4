# Installation of the manual page, and the Debian package:
#     cmake --install build/release --prefix /usr/local
#     cmake --workflow --preset package     (build/package/voziv_*.deb)
# The package preset turns VOZIV_PACKAGE on, which lays the files out as a
# Debian package must have them: the manual page compressed, the licence as
# /usr/share/doc/voziv/copyright and a Debian changelog beside it.
include(GNUInstallDirs)

option(VOZIV_PACKAGE "Install the files as the Debian package lays them out" OFF)

set(CPACK_PACKAGE_NAME voziv)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "voziv developers")
set(CPACK_PACKAGE_CONTACT "voziv developers <voziv@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chart du output as a PostScript page or EPS figure")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Directories made while staging get these, whatever the umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(NOT VOZIV_PACKAGE)
    install(FILES ${PROJECT_SOURCE_DIR}/man/voziv.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    find_program(VOZIV_GZIP gzip REQUIRED)
    # The licence paragraph of a machine-readable copyright file: the text
    # after the copyright line, each line indented by a space, and an empty
    # line written as " .".
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
    file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
    string(FIND "${license}" "Permission is hereby granted" start)
    if(start EQUAL -1)
        message(FATAL_ERROR "LICENSE: no permission notice found")
    endif()
    string(SUBSTRING "${license}" ${start} -1 license)
    string(STRIP "${license}" license)
    string(REPLACE "\n" "\n " license " ${license}")
    string(REPLACE "\n \n" "\n .\n" VOZIV_LICENSE_TEXT "${license}")
    configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/copyright.in copyright @ONLY)

    # gzip -9n: best compression, and no name or time stamp in the header,
    # so that the same sources give the same package.
    set(gzipped)
    foreach(pair IN ITEMS "man/voziv.1=voziv.1" "cmake/debian/changelog=changelog.Debian")
        string(REPLACE "=" ";" pair ${pair})
        list(GET pair 0 source)
        list(GET pair 1 copy)
        add_custom_command(OUTPUT ${copy}.gz
            COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${source} ${copy}
            COMMAND ${VOZIV_GZIP} -9nf ${copy}
            DEPENDS ${PROJECT_SOURCE_DIR}/${source}
            COMMENT "Compressing ${source}"
            VERBATIM)
        list(APPEND gzipped ${CMAKE_CURRENT_BINARY_DIR}/${copy}.gz)
    endforeach()
    add_custom_target(voziv_package_files ALL DEPENDS ${gzipped})

    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/voziv.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright
        ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME voziv)

    # A stripped install (CPack's) keeps the compiler's .comment section;
    # Debian's packages drop it, and .note, as dh_strip does.
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
                --remove-section=.note
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/voziv\"
                COMMAND_ERROR_IS_FATAL ANY)
        endif()")
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Revision 1 of the Debian package of this version, as its changelog says.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# The C and C++ libraries the binary links, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ghostscript")
# The summary above is the first line; this is the long description below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "voziv is a filter: du -k dir | voziv > chart.ps. It reads what du writes and
draws the directory tree as columns of blocks, one column per depth, each
block as tall as its share of its parent's disk blocks and labelled with its
name and count. It writes a portrait or landscape page (A3, A4, B4, B5, US
letter) or an Encapsulated PostScript figure, in monochrome or colour.")

include(CPack)
