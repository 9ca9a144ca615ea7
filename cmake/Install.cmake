# What `cmake --install` puts in place besides the two programs, and the Debian package.
include(GNUInstallDirs)

set(ODOMIRA_APP_ID org.example.odomira)
# The programs link no library of their own, so the installed ones need no run path.
set_target_properties(odomira odomira-db PROPERTIES INSTALL_RPATH "")

install(FILES ${PROJECT_SOURCE_DIR}/data/${ODOMIRA_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/${ODOMIRA_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ODOMIRA_ICON_SVG}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(png IN LISTS ODOMIRA_ICON_PNGS)
    get_filename_component(size ${png} NAME_WE)
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${ODOMIRA_APP_ID}.png)
endforeach()
# The programs speak German, so their pages are German for every reader.
install(FILES ${PROJECT_SOURCE_DIR}/data/man/odomira.1 ${PROJECT_SOURCE_DIR}/data/man/odomira-db.1
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/odomira)

# cpack -G DEB: a package for /usr whose dependencies dpkg-shlibdeps reads off the programs.
set(CPACK_PACKAGE_NAME odomira)
set(CPACK_PACKAGE_VENDOR "Odomira-Team")
set(CPACK_PACKAGE_CONTACT "Odomira-Team <team@odomira.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Fahrtenbuch für ein Fahrzeug (Logbook for one vehicle)")
set(CPACK_PACKAGE_DESCRIPTION "Odomira keeps the logbook of one vehicle in a window with a German user \
interface: trips with kilometres and fuel cost, the vehicle record with its cost per day, a search, \
monthly evaluations and an HTML export. odomira-db creates a new logbook.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://odomira.example.org")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded by Qt at run time, so no linked library names them: the window system plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
