# corvo_network_tests(LIBS <targets>... [TIMEOUT <s>])
# Like corvo_tests, for tests that open sockets: every test function of each tst_*.cpp runs in a
# process of its own inside a network namespace of its own with only loopback up
# (tests/support/run-in-netns.sh), so fixed ports and broadcasts never leave the test.
function(corvo_network_tests)
    cmake_parse_arguments(A "" "TIMEOUT" "LIBS" ${ARGN})
    if(NOT A_TIMEOUT)
        set(A_TIMEOUT 300)
    endif()
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    foreach(src IN LISTS tests)
        get_filename_component(name ${src} NAME_WE)
        add_executable(${name} ${src})
        target_link_libraries(${name} PRIVATE Qt5::Test ${A_LIBS})
        target_compile_options(${name} PRIVATE ${CORVO_WARNINGS})
        set(home ${CMAKE_BINARY_DIR}/test-home/${name})
        add_test(NAME ${name}
                 COMMAND sh ${PROJECT_SOURCE_DIR}/tests/support/run-in-netns.sh $<TARGET_FILE:${name}>)
        set_tests_properties(${name} PROPERTIES
            TIMEOUT ${A_TIMEOUT}
            SKIP_RETURN_CODE 77
            FIXTURES_REQUIRED test-homes
            ENVIRONMENT "HOME=${home};QT_QPA_PLATFORM=offscreen;QT_QUICK_BACKEND=software")
        set_property(GLOBAL APPEND PROPERTY CORVO_TEST_HOMES ${home})
    endforeach()
endfunction()
