# The Debian package: `cmake --build <dir> --target package` (CPack's DEB generator).
#
# A system-wide install cannot keep Korvex.ini, the log and the images beside the program, so the
# program uses the user's data folder ($XDG_DATA_HOME/korvex) and makes it on the first start from
# what is installed under share/korvex: the netpbm scripts and the sample branch table.
include(GNUInstallDirs)

set(packagingDir ${PROJECT_SOURCE_DIR}/packaging/linux)
install(TARGETS korvex korvex-tool korvex-reader-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
file(GLOB netpbmScripts ${PROJECT_SOURCE_DIR}/src/resources/netpbm/*.sh)
install(PROGRAMS ${netpbmScripts} DESTINATION ${CMAKE_INSTALL_DATADIR}/korvex/netpbm)
install(FILES ${PROJECT_SOURCE_DIR}/src/resources/banks_branches.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/korvex)
install(FILES ${packagingDir}/korvex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48 256)
    install(FILES ${PROJECT_SOURCE_DIR}/src/resources/icons/korvex-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME korvex.png)
endforeach()
# Started with the desktop session; the operator switches it off in the desktop's start-up
# settings (which hide it for that user) or removes it for everyone.
install(FILES ${packagingDir}/korvex-autostart.desktop DESTINATION /etc/xdg/autostart
        RENAME korvex.desktop)
set(docDir ${CMAKE_INSTALL_DATADIR}/doc/korvex)
install(FILES ${packagingDir}/copyright DESTINATION ${docDir})
set(changelogGz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelogGz}
    COMMAND gzip -n -9 -c ${packagingDir}/changelog > ${changelogGz}
    DEPENDS ${packagingDir}/changelog)
add_custom_target(korvex_changelog ALL DEPENDS ${changelogGz})
install(FILES ${changelogGz} DESTINATION ${docDir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Korvex developers <support@korvex.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cheque and card reader communicator")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvex sits between a MICR cheque and card reader on a serial port and the\n\
application an operator works in. It recognises cheques, card swipes and\n\
documents without magnetic ink, verifies the cheque's bank, branch and\n\
account, and types the result into the application as keystrokes. It logs\n\
every cheque to a CSV file and saves the cheque's images. The package also\n\
holds korvex-tool and korvex-reader-sim, a simulated reader.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${packagingDir}/conffiles)
# The netpbm scripts call these; the program works without them but saves no converted images.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "netpbm")
set(CPACK_STRIP_FILES ON)
include(CPack)
