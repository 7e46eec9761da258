# What an installation holds besides the two programs (whose install() lines sit beside their
# targets): the help pages as program data, the manual pages, the desktop entry, the type of
# result documents, the icons in the freedesktop icon theme, the AppStream metainfo, the bash
# completions, the Debian changelog and the licence.
#
# An installed program finds its help at "../share/parvex/help" from its "bin" folder and takes
# that folder's index.html as the sign that it is installed, so the two folders keep these
# names whatever the prefix.
set(PARVEX_APP_ID org.parvex.Parvex)
set(PARVEX_INSTALL_HELPDIR ${CMAKE_INSTALL_DATAROOTDIR}/parvex/help)
set(PARVEX_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/parvex)
if(NOT CMAKE_INSTALL_BINDIR STREQUAL "bin" OR NOT CMAKE_INSTALL_DATAROOTDIR STREQUAL "share")
  message(WARNING "An installed Parvex expects bin/ and share/ side by side; with "
                  "${CMAKE_INSTALL_BINDIR}/ and ${CMAKE_INSTALL_DATAROOTDIR}/ it runs as a "
                  "portable program")
endif()

install(FILES
  docs/index.html
  docs/start_dir.html
  docs/result_view.html
  docs/marks.html
  docs/undo.html
  docs/keys.html
  docs/file_mask.html
  docs/result_file.html
  docs/parvex-result.schema.json
  docs/parvex-result.example.json
  docs/parvex-actions.schema.json
  docs/parvex.css
  DESTINATION ${PARVEX_INSTALL_HELPDIR})

# Manual pages are installed compressed, as Debian and most distributions keep them.
find_program(PARVEX_GZIP gzip REQUIRED)
set(PARVEX_MAN_PAGES)
foreach(page parvex.1 parvex-cli.1)
  set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${PARVEX_GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/docs/man/${page} > ${compressed}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/${page}
    COMMENT "Compressing the manual page ${page}"
    VERBATIM)
  list(APPEND PARVEX_MAN_PAGES ${compressed})
endforeach()
add_custom_target(parvex_man_pages ALL DEPENDS ${PARVEX_MAN_PAGES})
install(FILES ${PARVEX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The desktop entry, the AppStream data and the window share one id, so that the desktop
# matches the running window with its entry.
install(FILES resources/${PARVEX_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES resources/${PARVEX_APP_ID}.mime.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages RENAME ${PARVEX_APP_ID}.xml)
install(FILES resources/completions/parvex resources/completions/parvex-cli
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions)
install(FILES resources/${PARVEX_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

set(PARVEX_ICON_THEME ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor)
install(FILES resources/parvex.svg DESTINATION ${PARVEX_ICON_THEME}/scalable/apps)
install(FILES resources/parvex.png DESTINATION ${PARVEX_ICON_THEME}/256x256/apps)
install(FILES resources/parvex-48.png DESTINATION ${PARVEX_ICON_THEME}/48x48/apps
        RENAME parvex.png)

# The licence, in the machine-readable form Debian reads from share/doc/<package>/copyright.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE PARVEX_LICENSE_TEXT)
string(REGEX REPLACE "^MIT License\n\nCopyright[^\n]*\n\n" "" PARVEX_LICENSE_TEXT
       "${PARVEX_LICENSE_TEXT}")
string(REGEX REPLACE "\n+$" "" PARVEX_LICENSE_TEXT "${PARVEX_LICENSE_TEXT}")
string(REPLACE "\n\n" "\n.\n" PARVEX_LICENSE_TEXT "${PARVEX_LICENSE_TEXT}")
string(REPLACE "\n" "\n " PARVEX_LICENSE_TEXT " ${PARVEX_LICENSE_TEXT}")
configure_file(cmake/copyright.in ${CMAKE_BINARY_DIR}/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${PARVEX_INSTALL_DOCDIR})
