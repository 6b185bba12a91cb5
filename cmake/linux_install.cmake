# Installing the native Linux programs and packaging them as a Debian package.
#
#   cmake --install build/linux --prefix ~/.local    # bin/, share/applications/, share/icons/
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

# The Debian package. dpkg-shlibdeps (dpkg-dev) finds the libraries' packages from
# what the programs link; the xcb platform plugin, which Qt loads at run time, is
# named here, as nothing links it.
set(CPACK_PACKAGE_NAME quibbets)
set(CPACK_PACKAGE_VENDOR "Quibbets")
set(CPACK_PACKAGE_CONTACT "Quibbets maintainers <maintainers@quibbets.invalid>" CACHE STRING
    "Maintainer field of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small note keeper that stays on top, with a tray launcher")
set(CPACK_PACKAGE_DESCRIPTION "Quibbets keeps ten pages of plain text in one window that stays above\n\
the other windows, one page shown at a time, each saved as a plain text\n\
file. A tray icon opens and closes the window.")
set(CPACK_GENERATOR DEB)
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
