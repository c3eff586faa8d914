# The Windows executable: QUELLEX.exe with its icon and version block, both from the version facts
# at the top of the root CMakeLists.txt.
set(QUELLEX_DEVELOPER "ZORVIN-DEV")
# The executable's icon is the windows' icon: one 100-pixel image in 256 colours.
find_program(QUELLEX_ICOTOOL icotool REQUIRED)
set(QUELLEX_ICON_FILE ${CMAKE_BINARY_DIR}/generated/quellex.ico)
add_custom_command(OUTPUT ${QUELLEX_ICON_FILE}
    COMMAND ${QUELLEX_ICOTOOL} --create --bit-depth=8 --output=${QUELLEX_ICON_FILE} ${PROJECT_SOURCE_DIR}/forms/artwork/icon.png
    DEPENDS ${PROJECT_SOURCE_DIR}/forms/artwork/icon.png
    VERBATIM)
# "1.00" gives minor 0 either way; the leading zeros would read as octal in a resource script.
math(EXPR QUELLEX_VERSION_MINOR "${PROJECT_VERSION_MINOR}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/quellex.rc.in ${CMAKE_BINARY_DIR}/generated/quellex.rc @ONLY)
target_sources(quellex PRIVATE ${CMAKE_BINARY_DIR}/generated/quellex.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/generated/quellex.rc PROPERTIES OBJECT_DEPENDS ${QUELLEX_ICON_FILE})
set_target_properties(quellex PROPERTIES OUTPUT_NAME ${QUELLEX_INTERNAL_NAME} WIN32_EXECUTABLE ON)
