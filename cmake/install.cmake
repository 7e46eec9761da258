# What an installation holds besides the two programs (whose install() lines sit beside their
# targets): the help pages, the desktop entry and the icon in the freedesktop icon theme.
set(PARVEX_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/parvex)

install(FILES
  docs/index.html
  docs/start_dir.html
  docs/keys.html
  docs/file_mask.html
  docs/parvex.css
  DESTINATION ${PARVEX_INSTALL_DOCDIR})

install(FILES resources/parvex.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)

set(PARVEX_ICON_THEME ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor)
install(FILES resources/parvex.svg DESTINATION ${PARVEX_ICON_THEME}/scalable/apps)
install(FILES resources/parvex.png DESTINATION ${PARVEX_ICON_THEME}/256x256/apps)
install(FILES resources/parvex-48.png DESTINATION ${PARVEX_ICON_THEME}/48x48/apps
        RENAME parvex.png)
