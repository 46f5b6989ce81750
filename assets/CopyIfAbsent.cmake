# Copies TOLVANEXA_COPY_SOURCE to TOLVANEXA_COPY_DESTINATION unless the
# destination already exists: a configuration the time-keeper has edited is
# never replaced by the shipped one, neither by a build nor by an install.
# Run with `cmake -D... -P` at build time, included by the install script.
if(EXISTS "${TOLVANEXA_COPY_DESTINATION}")
    message(STATUS "Keeping: ${TOLVANEXA_COPY_DESTINATION}")
else()
    get_filename_component(_tolvanexa_folder "${TOLVANEXA_COPY_DESTINATION}" DIRECTORY)
    file(MAKE_DIRECTORY "${_tolvanexa_folder}")
    file(COPY_FILE "${TOLVANEXA_COPY_SOURCE}" "${TOLVANEXA_COPY_DESTINATION}")
    # The program writes the file back when it ends, so it must be writable
    # even when the source tree it came from is not.
    file(CHMOD "${TOLVANEXA_COPY_DESTINATION}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    message(STATUS "Installing: ${TOLVANEXA_COPY_DESTINATION}")
endif()
