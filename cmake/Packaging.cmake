# Installation layout and the Debian package (CPack DEB): `cmake --build <dir> --target package`
# writes dk61-pc-tool_<version>_<arch>.deb into <dir>. scripts/package does it in build-package/.
include(${CMAKE_CURRENT_LIST_DIR}/Version.cmake)
include(GNUInstallDirs)

set(DK61_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

# Manual pages carry the version and go compressed as Debian wants them (gzip -9n: no file name,
# no time stamp), built with everything else.
find_program(DK61_GZIP gzip)
set(DK61_MAN_PAGES)

# The programs under /usr/bin: the delivered tool, the service build with every page, and the
# board simulator (the training and demo board), each with its manual page. A program not built
# in this tree is skipped.
foreach(program dk61-pc-tool dk61-service-tool dk61-sim)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
        if(EXISTS ${DK61_PACKAGING_DIR}/${program}.desktop)
            install(FILES ${DK61_PACKAGING_DIR}/${program}.desktop
                DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
        endif()
        if(UNIX AND DK61_GZIP)
            set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
            configure_file(${DK61_PACKAGING_DIR}/${program}.1 ${page} @ONLY)
            add_custom_command(OUTPUT ${page}.gz
                COMMAND ${DK61_GZIP} -9nkf ${page}
                DEPENDS ${page}
                COMMENT "Compressing the manual page of ${program}")
            list(APPEND DK61_MAN_PAGES ${page}.gz)
            install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
        endif()
    endif()
endforeach()
if(DK61_MAN_PAGES)
    add_custom_target(dk61-man ALL DEPENDS ${DK61_MAN_PAGES})
endif()
install(FILES ${DK61_PACKAGING_DIR}/dk61-pc-tool.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dk61-pc-tool)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dk61-pc-tool)
set(CPACK_PACKAGE_VERSION ${DK61_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvalta")
set(CPACK_PACKAGE_CONTACT "Orvalta" CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Service tool for the DK-61 CD-mechanism controller")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Watches the error-correction flags of the disc in a CD mechanism (C1, C2,\n"
    "interpolation) as a live plot, keeps every flag record in a flag file and logs\n"
    "every byte exchanged with the DK-61 board over its USB-UART bridge.\n"
    "dk61-service-tool is the service build with every page (player, EEPROM,\n"
    "firmware flashing, laser calibration, service mode); dk61-sim simulates the\n"
    "board for training and demonstrations.\n"
    "Opening the bridges needs membership of the group dialout.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The runtime packages by their Debian 12 names, so that `apt install ./<file>.deb` brings them
# (the C and C++ runtime is on every Debian system); libqt5svg5 draws the window's icon. scripts/check-package verifies that every
# library the programs link directly comes from one of them.
string(CONCAT CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt5core5a (>= 5.15), libqt5gui5 (>= 5.15), libqt5widgets5 (>= 5.15), libqt5serialport5, "
    "libqt5sql5, libqt5sql5-sqlite, libqt5sql5-psql, libqt5printsupport5, libqt5svg5, "
    "libqcustomplot2.1, "
    "fonts-dseg, lpc21isp")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${DK61_PACKAGING_DIR}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
