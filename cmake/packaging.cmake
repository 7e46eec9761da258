# The Debian package: "cpack -G DEB" in the build folder makes parvex_<version>-<revision>_<arch>.deb
# from what an installation holds (install.cmake and the programs' install() lines). The
# project's version names the program; PARVEX_DEBIAN_REVISION counts packages of one version.
set(PARVEX_DEBIAN_REVISION 1 CACHE STRING "Debian revision of the package (1.1-N)")
# The Maintainer field, and the signature of the changelog.
set(PARVEX_PACKAGE_MAINTAINER "The Parvex developers <developers@parvex.org>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parvex)
set(CPACK_PACKAGE_VENDOR "The Parvex developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find identical files and deal with the copies")
# Lines of the long description stay within 80 columns, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Parvex walks a folder tree, collects the files that match a mask and shows\n"
    "every group of identical files in a tree view, by the compare keys chosen:\n"
    "name, size, modification time and content (compared byte by byte). From the\n"
    "result a file is opened, moved or sent to the trash. parvex-cli runs the same\n"
    "search without windows, for scripts.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${PARVEX_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PARVEX_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the two programs link, with their versions, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opening files, folders and help pages goes through the desktop's opener.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# The Debian changelog of the package, compressed as Debian keeps it in share/doc/<package>.
configure_file(cmake/changelog.Debian.in ${CMAKE_BINARY_DIR}/changelog.Debian @ONLY)
set(PARVEX_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
add_custom_command(OUTPUT ${PARVEX_CHANGELOG}
  COMMAND ${PARVEX_GZIP} -9 -n -c ${CMAKE_BINARY_DIR}/changelog.Debian > ${PARVEX_CHANGELOG}
  DEPENDS ${CMAKE_BINARY_DIR}/changelog.Debian
  COMMENT "Compressing the Debian changelog"
  VERBATIM)
add_custom_target(parvex_changelog ALL DEPENDS ${PARVEX_CHANGELOG})
install(FILES ${PARVEX_CHANGELOG} DESTINATION ${PARVEX_INSTALL_DOCDIR})
# What lintian is told to leave alone, each with its reason in the file.
install(FILES resources/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
        RENAME parvex)

include(CPack)
