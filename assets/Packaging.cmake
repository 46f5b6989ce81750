# `cpack` makes Tolvanexa-<version>-Linux-<arch>.tar.gz, or for the Windows
# edition Tolvanexa-<version>-windows-x64.zip, holding one folder: the same
# portable folder `cmake --install` makes.
set(CPACK_PACKAGE_NAME Tolvanexa)
set(CPACK_PACKAGE_VENDOR Tolvanexa)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Countdown timer for Chinese-format debate competitions")
if(TOLVANEXA_FRONTEND STREQUAL "win32")
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME "Tolvanexa-${PROJECT_VERSION}-windows-x64")
else()
    set(CPACK_GENERATOR TGZ)
    set(CPACK_PACKAGE_FILE_NAME "Tolvanexa-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
endif()
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
