# Installation and the Debian package. Every name and version here comes from the version block at
# the top of the root CMakeLists.txt.
include(GNUInstallDirs)

set(QUELLEX_DEVELOPER "ZORVIN-DEV")
set(QUELLEX_DEVELOPER_EMAIL "zorvin-dev@zorvin-quellex.invalid")
set(QUELLEX_ICON_SIZES 16 22 24 32 48 64 128 256)

set(quellex_packaging_dir ${CMAKE_BINARY_DIR}/packaging)
set(quellex_desktop_file ${quellex_packaging_dir}/${QUELLEX_APP_ID}.desktop)
set(quellex_metainfo_file ${quellex_packaging_dir}/${QUELLEX_APP_ID}.metainfo.xml)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quellex.desktop.in ${quellex_desktop_file} @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quellex.metainfo.xml.in ${quellex_metainfo_file} @ONLY)

install(TARGETS quellex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${quellex_desktop_file} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${quellex_metainfo_file} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN LISTS QUELLEX_ICON_SIZES)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${size}x${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${QUELLEX_APP_ID}.png)
endforeach()

# What Debian asks of every package: the copyright, a changelog and a manual page, compressed as
# dh_compress does, and a program without the sections dh_strip removes.
execute_process(COMMAND date -u -R -d "${QUELLEX_RELEASE_DATE}" OUTPUT_VARIABLE QUELLEX_CHANGELOG_DATE
                OUTPUT_STRIP_TRAILING_WHITESPACE)
set(quellex_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${QUELLEX_PACKAGE_NAME})
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/copyright.in ${quellex_packaging_dir}/copyright @ONLY)
set(quellex_compressed)
foreach(page changelog quellex.1)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/${page}.in ${quellex_packaging_dir}/${page} @ONLY)
    add_custom_command(OUTPUT ${quellex_packaging_dir}/${page}.gz
        COMMAND gzip -n -9 -f -k ${quellex_packaging_dir}/${page}
        DEPENDS ${quellex_packaging_dir}/${page}
        VERBATIM)
    list(APPEND quellex_compressed ${quellex_packaging_dir}/${page}.gz)
endforeach()
add_custom_target(quellex_docs ALL DEPENDS ${quellex_compressed})
install(FILES ${quellex_packaging_dir}/copyright ${quellex_packaging_dir}/changelog.gz DESTINATION ${quellex_doc_dir})
install(FILES ${quellex_packaging_dir}/quellex.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quellex\")
endif()")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${QUELLEX_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ${QUELLEX_DEVELOPER})
set(CPACK_PACKAGE_CONTACT "${QUELLEX_DEVELOPER} <${QUELLEX_DEVELOPER_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${QUELLEX_CAPTION}: watch for a program by name and end it")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A small desktop utility that watches for running processes by name and\n"
    "terminates them. The name box turns green while a process of the typed\n"
    "name runs and red while none does. Processes of that name are ended on a\n"
    "button press or, while Auto Terminate is ticked, four times a second.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The closest installable match for the windows' designed font; without it captions may not fit.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
include(CPack)
