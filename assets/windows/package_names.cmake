# Read by cpack for each generator: the installer and the portable zip get names of
# their own.
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "Quibbets-${CPACK_PACKAGE_VERSION}-setup")
elseif(CPACK_GENERATOR STREQUAL "ZIP")
    set(CPACK_PACKAGE_FILE_NAME "Quibbets-${CPACK_PACKAGE_VERSION}-portable")
endif()
