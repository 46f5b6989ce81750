# `cpack` makes Tolvanexa-<version>-Linux-<arch>.tar.gz holding one folder:
# the same portable folder `cmake --install` makes.
set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME Tolvanexa)
set(CPACK_PACKAGE_VENDOR Tolvanexa)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Countdown timer for Chinese-format debate competitions")
set(CPACK_PACKAGE_FILE_NAME "Tolvanexa-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
