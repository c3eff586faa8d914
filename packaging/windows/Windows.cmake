# The Windows executable: QUELLEX.exe with its icon and version block, both from the version facts
# at the top of the root CMakeLists.txt.
set(QUELLEX_DEVELOPER "ZORVIN-DEV")
set(QUELLEX_ICON_FILE ${CMAKE_CURRENT_LIST_DIR}/quellex.ico)
# "1.00" gives minor 0 either way; the leading zeros would read as octal in a resource script.
math(EXPR QUELLEX_VERSION_MINOR "${PROJECT_VERSION_MINOR}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/quellex.rc.in ${CMAKE_BINARY_DIR}/generated/quellex.rc @ONLY)
target_sources(quellex PRIVATE ${CMAKE_BINARY_DIR}/generated/quellex.rc)
set_target_properties(quellex PROPERTIES OUTPUT_NAME ${QUELLEX_INTERNAL_NAME} WIN32_EXECUTABLE ON)
