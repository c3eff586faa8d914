# quellex_add_test(<name> SOURCES <files...> [LIBS <targets...>] [DISPLAY offscreen|xvfb|xvfb-wm]
#                  [TIMEOUT <seconds>] [ENVIRONMENT <VAR=value...>] [LABELS <labels...>])
#
# One Qt Test class a file, built as tst_<name> and run by ctest. DISPLAY picks where its windows go:
# Qt's offscreen platform (the default), a private Xvfb, or a private Xvfb with a window manager.
# LABELS default to "unit" offscreen and "x11" in an Xvfb; every test of the Windows build also
# carries "wine", as it runs under Wine. `ctest -L unit` is the quick loop.
function(quellex_add_test name)
    cmake_parse_arguments(ARG "" "DISPLAY;TIMEOUT" "SOURCES;LIBS;ENVIRONMENT;LABELS" ${ARGN})
    if(NOT ARG_DISPLAY)
        set(ARG_DISPLAY offscreen)
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    if(NOT ARG_LABELS AND ARG_DISPLAY STREQUAL "offscreen")
        set(ARG_LABELS unit)
    elseif(NOT ARG_LABELS)
        set(ARG_LABELS x11)
    endif()

    set(target tst_${name})
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE Qt6::Test quellex_test_support ${ARG_LIBS})

    set(env "QT_QPA_PLATFORM=offscreen" ${ARG_ENVIRONMENT})
    set(command $<TARGET_FILE:${target}>)
    if(ARG_DISPLAY STREQUAL "xvfb")
        set(env "QT_QPA_PLATFORM=xcb" ${ARG_ENVIRONMENT})
        set(command ${QUELLEX_XVFB_RUNNER} -- ${command})
    elseif(ARG_DISPLAY STREQUAL "xvfb-wm")
        set(env "QT_QPA_PLATFORM=xcb" ${ARG_ENVIRONMENT})
        set(command ${QUELLEX_XVFB_RUNNER} --wm -- ${command})
    endif()

    if(WIN32)
        # Run under Wine; a window that needs a real display gets Qt's Windows platform, in the X
        # server the Windows test run provides.
        set(command ${QUELLEX_WINE_RUNNER} $<TARGET_FILE:${target}>)
        if(NOT ARG_DISPLAY STREQUAL "offscreen")
            set(env "QT_QPA_PLATFORM=windows" ${ARG_ENVIRONMENT})
        endif()
        list(APPEND ARG_LABELS wine)
    endif()

    add_test(NAME ${name} COMMAND ${command})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "${env};QUELLEX_TEST_BINARY_DIR=${CMAKE_BINARY_DIR}"
        LABELS "${ARG_LABELS}")
endfunction()
