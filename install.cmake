# What `cmake --install` puts where (GNU layout), and the Debian package.
set(ZAMFU_ID io.github.zamfu.Zamfu)

install(TARGETS zamfu RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES res/help/help.html DESTINATION ${CMAKE_INSTALL_DATADIR}/zamfu)

# Qt's own dialog texts in Japanese, the language of the interface.
get_target_property(ZAMFU_QMAKE Qt5::qmake IMPORTED_LOCATION)
execute_process(COMMAND ${ZAMFU_QMAKE} -query QT_INSTALL_TRANSLATIONS
  OUTPUT_VARIABLE ZAMFU_QT_TRANSLATIONS OUTPUT_STRIP_TRAILING_WHITESPACE)
if(EXISTS ${ZAMFU_QT_TRANSLATIONS}/qtbase_ja.qm)
  install(FILES ${ZAMFU_QT_TRANSLATIONS}/qtbase_ja.qm DESTINATION ${CMAKE_INSTALL_DATADIR}/zamfu/translations)
else()
  message(WARNING "qtbase_ja.qm not found (qttranslations5-l10n): Qt's dialogs will not be translated")
endif()

install(FILES res/desktop/${ZAMFU_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(res/desktop/${ZAMFU_ID}.metainfo.xml.in ${ZAMFU_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${ZAMFU_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES res/desktop/${ZAMFU_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
  RENAME ${ZAMFU_ID}.xml)
install(FILES res/icons/zamfu.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${ZAMFU_ID}.svg)
foreach(size 48 128 256)
  install(FILES res/icons/zamfu-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${ZAMFU_ID}.png)
endforeach()

# cpack -G DEB: library dependencies from dpkg-shlibdeps, plus the fonts the
# booklets are set in. Menu, icon and file-type caches are refreshed by the
# system's own triggers.
set(CPACK_PACKAGE_NAME zamfu)
set(CPACK_PACKAGE_VENDOR Zamfu)
set(CPACK_PACKAGE_CONTACT "Zamfu developers <zamfu@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "layout editor for folded booklets (orihon)")
set(CPACK_PACKAGE_DESCRIPTION "Zamfu lays out booklets of 1, 4 or 8 pages printed on one side of a single
sheet, then folded: horizontal or vertical Japanese text with Japanese line
breaking, linked text boxes, shapes, images and backgrounds. It prints the
imposed sheet and exports PDF and PNG.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zamfu.github.io/zamfu/")
set(CPACK_GENERATOR DEB)
include(CPack)
