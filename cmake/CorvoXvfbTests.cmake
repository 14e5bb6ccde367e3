include_guard(GLOBAL)

# corvo_xvfb_test(<name> SOURCES <files>... LIBS <targets>... [TIMEOUT <s>] [ENVIRONMENT <k=v>...]
#                 [SCREEN <width>x<height>x<depth>] [PROGRAM <target>])
# A QtTest program run in a real window: under its own Xvfb server (xvfb-run -a) with the xcb platform,
# inside a network namespace with only loopback up where one can be made (the program's framework
# server takes a fixed port). Its HOME is a folder of its own below the build folder, as for
# corvo_tests. The tests of this kind take turns (resource lock "xvfb"), so that two servers never
# race for one display number. In a sanitizer build their leak check is left out: the platform (its
# screen, D-Bus, Qt's pixmap cache) keeps memory to the end that only the slow unwinder could tell
# apart, in minutes; the whole program's own leaks are checked offscreen by tst_CorvoGUIProgram.
# The screen is 1600 x 1000 unless SCREEN says otherwise. With PROGRAM the test runs that test
# program (made by another corvo_xvfb_test) instead of making one, as under another scale factor.
function(corvo_xvfb_test name)
    cmake_parse_arguments(A "" "TIMEOUT;SCREEN;PROGRAM" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    if(NOT A_TIMEOUT)
        set(A_TIMEOUT 300)
    endif()
    if(NOT A_SCREEN)
        set(A_SCREEN 1600x1000x24)
    endif()
    if(A_PROGRAM)
        set(program ${A_PROGRAM})
    else()
        set(program ${name})
        add_executable(${name} ${A_SOURCES})
        target_link_libraries(${name} PRIVATE Qt5::Test ${A_LIBS})
        target_compile_options(${name} PRIVATE ${CORVO_WARNINGS})
    endif()
    set(home ${CMAKE_BINARY_DIR}/test-home/${name})
    add_test(NAME ${name}
             COMMAND sh ${PROJECT_SOURCE_DIR}/tests/support/in-netns.sh --or-plain
                     xvfb-run -a -s "-screen 0 ${A_SCREEN}" $<TARGET_FILE:${program}>)
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${A_TIMEOUT}
        RESOURCE_LOCK xvfb
        FIXTURES_REQUIRED test-homes
        ENVIRONMENT "HOME=${home};QT_QPA_PLATFORM=xcb;QT_QUICK_BACKEND=software;ASAN_OPTIONS=detect_leaks=0:abort_on_error=1;${A_ENVIRONMENT}")
    set_property(GLOBAL APPEND PROPERTY CORVO_TEST_HOMES ${home})
    corvo_label_window_test(${name})
endfunction()
