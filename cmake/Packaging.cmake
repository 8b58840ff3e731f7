# The release: hourmark.exe, the operator's guide and ok.wav, as a per-user NSIS installer and a
# portable zip (./scripts/release). The guide and the tone are made at build time by two small
# programs built for this machine, not for Windows.
find_program(HOURMARK_HOST_CXX NAMES g++ c++ REQUIRED)
set(HOURMARK_RELEASE_DIR ${CMAKE_BINARY_DIR}/release-files)
set(HOURMARK_HOST_FLAGS -std=c++20 -O2 -Wall -Wextra -Wconversion -Wsign-conversion -Werror)
set(HOURMARK_GUIDE_NAME HourMarkGuide.txt)

foreach(tool oktone guide)
  add_custom_command(
    OUTPUT ${HOURMARK_RELEASE_DIR}/host/${tool}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${HOURMARK_RELEASE_DIR}/host
    COMMAND ${HOURMARK_HOST_CXX} ${HOURMARK_HOST_FLAGS} -o ${HOURMARK_RELEASE_DIR}/host/${tool}
            ${CMAKE_SOURCE_DIR}/tools/release/${tool}.cpp
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/release/${tool}.cpp
    COMMENT "Building ${tool} for the build machine"
    VERBATIM)
endforeach()
add_custom_command(
  OUTPUT ${HOURMARK_RELEASE_DIR}/ok.wav
  COMMAND ${HOURMARK_RELEASE_DIR}/host/oktone ${HOURMARK_RELEASE_DIR}/ok.wav
  DEPENDS ${HOURMARK_RELEASE_DIR}/host/oktone
  COMMENT "Making ok.wav"
  VERBATIM)
add_custom_command(
  OUTPUT ${HOURMARK_RELEASE_DIR}/${HOURMARK_GUIDE_NAME}
  COMMAND ${HOURMARK_RELEASE_DIR}/host/guide ${CMAKE_SOURCE_DIR}/README.md ${PROJECT_VERSION}
          ${HOURMARK_RELEASE_DIR}/${HOURMARK_GUIDE_NAME}
  DEPENDS ${HOURMARK_RELEASE_DIR}/host/guide ${CMAKE_SOURCE_DIR}/README.md
  COMMENT "Making the operator's guide from the README"
  VERBATIM)
add_custom_target(hourmark_release_files ALL
                  DEPENDS ${HOURMARK_RELEASE_DIR}/ok.wav
                          ${HOURMARK_RELEASE_DIR}/${HOURMARK_GUIDE_NAME})

install(TARGETS hourmark RUNTIME DESTINATION .)
install(FILES ${HOURMARK_RELEASE_DIR}/${HOURMARK_GUIDE_NAME} ${HOURMARK_RELEASE_DIR}/ok.wav
        DESTINATION .)
# cpack installs only what scripts/release has built, not every test program of the tree.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME HourMark)
set(CPACK_PACKAGE_VENDOR "The HourMark developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "HourMark, an unattended companion for an EchoLink node")
set(CPACK_PACKAGE_INSTALL_DIRECTORY HourMark)
set(CPACK_PACKAGE_FILE_NAME HourMark-${PROJECT_VERSION})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/PackagingPerGenerator.cmake)
set(CPACK_STRIP_FILES OFF)
# The installer script is our own (cmake/nsis/NSIS.template.in): per user, no administrator
# rights, operator files kept. These reach it as @VARIABLES@.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake/nsis)
get_target_property(hourmark_output_name hourmark OUTPUT_NAME)
if(NOT hourmark_output_name)
  set(hourmark_output_name hourmark)
endif()
set(CPACK_NSIS_HOURMARK_PROGRAM ${hourmark_output_name}${CMAKE_EXECUTABLE_SUFFIX})
set(CPACK_NSIS_HOURMARK_GUIDE ${HOURMARK_GUIDE_NAME})
set(CPACK_NSIS_HOURMARK_ICON ${CMAKE_SOURCE_DIR}/src/win32/res/hourmark.ico)
# The class of the main window (src/win32/MainWindow.h): how the installer finds a running copy.
set(CPACK_NSIS_HOURMARK_MAIN_CLASS HourMarkMain)
include(CPack)
