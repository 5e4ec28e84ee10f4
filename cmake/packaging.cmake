# Installation of the manual page, and the Debian package:
#     cmake --install <build> --prefix /usr/local
#     cd <build> && cpack -G DEB
include(GNUInstallDirs)

install(FILES ${PROJECT_SOURCE_DIR}/man/voziv.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME voziv)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "voziv developers")
set(CPACK_PACKAGE_CONTACT "voziv developers <voziv@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chart du output as a PostScript page or EPS figure")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
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
