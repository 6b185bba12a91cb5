# The Windows installer and the portable zip, cross-built here:
#
#   (cd build/win32 && cpack -G NSIS)    # Quibbets-<version>-setup.exe (nsis: makensis)
#   (cd build/win32 && cpack -G ZIP)     # Quibbets-<version>-portable.zip
#
# Both hold the two programs and a short read-me in one folder; the programs keep
# their pages beside them.
set(QUIBBETS_README ${PROJECT_BINARY_DIR}/package/README.txt)
configure_file(${PROJECT_SOURCE_DIR}/assets/windows/README.txt.in ${QUIBBETS_README} @ONLY NEWLINE_STYLE CRLF)
install(TARGETS notes Quibbets RUNTIME DESTINATION .)
install(FILES ${QUIBBETS_README} DESTINATION .)

set(CPACK_PACKAGE_NAME Quibbets)
set(CPACK_PACKAGE_VENDOR Quibbets)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR "NSIS;ZIP")
set(CPACK_STRIP_FILES ON)
# The installer's script is our own (assets/windows/NSIS.template.in): it installs
# for the current user, which the stock one does not.
set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/assets/windows)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/assets/windows/package_names.cmake)
set(CPACK_QUIBBETS_ICON ${PROJECT_SOURCE_DIR}/assets/quibbets.ico)
include(CPack)
