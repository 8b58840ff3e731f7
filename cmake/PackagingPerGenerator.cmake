# cpack reads this once per generator: the installer is "-setup.exe"; the zip holds one folder
# named HourMark (scripts/release gives the zip itself its versioned name).
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-setup")
endif()
if(CPACK_GENERATOR STREQUAL "ZIP")
  # One folder name for every version, so that unpacking a newer zip over the old folder keeps
  # the settings, log and node list beside the program.
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}")
endif()
