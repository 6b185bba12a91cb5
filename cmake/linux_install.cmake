# Installing the native Linux programs and packaging them as a Debian package.
#
#   cmake --install build/linux --prefix ~/.local    # bin/, share/applications/, share/icons/,
#                                                     # share/metainfo/, share/man/, etc/xdg/autostart/
#   (cd build/linux && cpack -G DEB)                  # quibbets_<version>_amd64.deb
#
# The launcher starts the notes program from its own folder, so both go to bin/.
include(GNUInstallDirs)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# The icon in the theme's sizes, drawn by the same script that draws quibbets.ico.
set(QUIBBETS_HICOLOR_SIZES 16 22 24 32 48 64 128 256)
set(QUIBBETS_HICOLOR_DIR ${PROJECT_BINARY_DIR}/hicolor)
set(QUIBBETS_ICON_PNGS)
foreach(size ${QUIBBETS_HICOLOR_SIZES})
    list(APPEND QUIBBETS_ICON_PNGS ${QUIBBETS_HICOLOR_DIR}/${size}x${size}/apps/quibbets.png)
endforeach()
add_custom_command(
    OUTPUT ${QUIBBETS_ICON_PNGS}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/assets/make_icon.py --hicolor ${QUIBBETS_HICOLOR_DIR}
    DEPENDS ${PROJECT_SOURCE_DIR}/assets/make_icon.py
    COMMENT "Drawing the icon theme's PNGs"
    VERBATIM)
add_custom_target(quibbets_icons ALL DEPENDS ${QUIBBETS_ICON_PNGS})

install(TARGETS quibbets quibbets-notes RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/assets/linux/quibbets.desktop ${PROJECT_SOURCE_DIR}/assets/linux/quibbets-notes.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${QUIBBETS_HICOLOR_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# The software centre's entry, with this release's version and date.
set(QUIBBETS_RELEASE_DATE 2026-12-10)
set(QUIBBETS_METAINFO ${PROJECT_BINARY_DIR}/org.quibbets.Quibbets.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/assets/linux/org.quibbets.Quibbets.metainfo.xml.in ${QUIBBETS_METAINFO} @ONLY)
install(FILES ${QUIBBETS_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The tray launcher starts at logon. A system-wide install (prefix /usr, as the
# package has it) puts the entry where every desktop looks, /etc/xdg/autostart;
# another prefix keeps it under its own etc/. A user turns it off in the desktop's
# startup settings, which hide it with an entry of the same name in
# ~/.config/autostart.
set(QUIBBETS_AUTOSTART ${PROJECT_SOURCE_DIR}/assets/linux/quibbets-autostart.desktop)
install(CODE "
    if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
        set(quibbets_autostart_dir /etc/xdg/autostart)
    else()
        set(quibbets_autostart_dir \"\${CMAKE_INSTALL_PREFIX}/etc/xdg/autostart\")
    endif()
    file(INSTALL DESTINATION \"\${quibbets_autostart_dir}\" TYPE FILE RENAME quibbets.desktop
        FILES \"${QUIBBETS_AUTOSTART}\")
")

# What Debian asks of every package: the copyright, a changelog and manual pages,
# the last two compressed as its tools do (gzip -9n: no name, no time).
set(CPACK_PACKAGE_CONTACT "Quibbets maintainers <maintainers@quibbets.invalid>" CACHE STRING
    "Maintainer field of the Debian package")
set(QUIBBETS_RELEASE_RFC2822 "Thu, 10 Dec 2026 12:00:00 +0000")
set(QUIBBETS_DOC_DIR ${PROJECT_BINARY_DIR}/doc)
configure_file(${PROJECT_SOURCE_DIR}/assets/linux/doc/changelog.in ${QUIBBETS_DOC_DIR}/changelog @ONLY)
foreach(page quibbets.1 quibbets-notes.1)
    configure_file(${PROJECT_SOURCE_DIR}/assets/linux/doc/${page} ${QUIBBETS_DOC_DIR}/${page} COPYONLY)
endforeach()
foreach(doc changelog quibbets.1 quibbets-notes.1)
    execute_process(COMMAND gzip -9nf ${QUIBBETS_DOC_DIR}/${doc} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${QUIBBETS_DOC_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/assets/linux/doc/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quibbets)
install(FILES ${QUIBBETS_DOC_DIR}/quibbets.1.gz ${QUIBBETS_DOC_DIR}/quibbets-notes.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package. dpkg-shlibdeps (dpkg-dev) finds the libraries' packages from
# what the programs link; the xcb platform plugin, which Qt loads at run time, is
# named here, as nothing links it.
set(CPACK_PACKAGE_NAME quibbets)
set(CPACK_PACKAGE_VENDOR "Quibbets")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small note keeper that stays on top, with a tray launcher")
set(CPACK_PACKAGE_DESCRIPTION "Quibbets keeps ten pages of plain text in one window that stays above\n\
the other windows, one page shown at a time, each saved as a plain text\n\
file. A tray icon opens and closes the window.")
set(CPACK_GENERATOR DEB)
# The logon entry's place is absolute, so the package is staged with DESTDIR.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# A file under /etc is the administrator's: an upgrade keeps their change to it.
file(WRITE ${PROJECT_BINARY_DIR}/debian/conffiles "/etc/xdg/autostart/quibbets.desktop\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/conffiles)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)

if(BUILD_TESTING)
    add_subdirectory(${PROJECT_SOURCE_DIR}/tests/install ${PROJECT_BINARY_DIR}/tests/install)
endif()
