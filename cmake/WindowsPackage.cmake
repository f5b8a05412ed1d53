# `make windows` (target windows_zip): dist/venmarra-VERSION-win64.zip with the program and a
# short README in Chinese and English, the same bytes for the same source and SOURCE_DATE_EPOCH.
set(VENMARRA_DIST_DIR ${PROJECT_SOURCE_DIR}/dist CACHE PATH "Where the Windows zip is written")
set(staging ${PROJECT_BINARY_DIR}/zip/venmarra-${PROJECT_VERSION})
set(archive ${VENMARRA_DIST_DIR}/venmarra-${PROJECT_VERSION}-win64.zip)
configure_file(${PROJECT_SOURCE_DIR}/resources/windows/README.txt.in ${staging}/README.txt @ONLY NEWLINE_STYLE CRLF)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(
  OUTPUT ${archive}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:venmarra> ${staging}/venmarra.exe
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VENMARRA_DIST_DIR}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/write-zip ${archive} ${staging}
  DEPENDS venmarra ${staging}/README.txt ${PROJECT_SOURCE_DIR}/scripts/write-zip
  COMMENT "Writing ${archive}")
add_custom_target(windows_zip DEPENDS ${archive})
