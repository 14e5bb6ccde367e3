# Helpers shared by every folder of the project.

set(CORVO_WARNINGS -Wall -Wextra)
if(CORVO_WERROR)
    list(APPEND CORVO_WARNINGS -Werror)
endif()

# What the sanitizer build's leak checker is told of Qt's own leaks (tests/support/lsan): the
# offscreen platform's, and those of Qt Quick and the platforms in a test that shows QML windows.
set(CORVO_OFFSCREEN_LSAN_SUPPRESSIONS ${PROJECT_SOURCE_DIR}/tests/support/lsan/offscreen.supp)
set(CORVO_QT_QUICK_LSAN_OPTIONS
    "suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan/qt-quick.supp:fast_unwind_on_malloc=0")

# Adds every folder below the given roots that has a CMakeLists.txt, parents first.
function(corvo_add_subdirectories)
    foreach(root IN LISTS ARGN)
        if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${root})
            continue()
        endif()
        file(GLOB_RECURSE lists RELATIVE ${PROJECT_SOURCE_DIR}
             ${PROJECT_SOURCE_DIR}/${root}/CMakeLists.txt)
        list(SORT lists)
        foreach(file IN LISTS lists)
            get_filename_component(dir ${file} DIRECTORY)
            add_subdirectory(${dir})
        endforeach()
    endforeach()
endfunction()

# corvo_library(<name> [DEPENDS <targets>...])
# A static library of every .cpp and .h of the calling folder.
function(corvo_library name)
    cmake_parse_arguments(A "" "" "DEPENDS;SOURCES" ${ARGN})
    file(GLOB srcs CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${srcs} ${A_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${A_DEPENDS})
    target_compile_options(${name} PRIVATE ${CORVO_WARNINGS})
endfunction()

# corvo_tests(LIBS <targets>... [ENVIRONMENT <k=v>...] [TIMEOUT <s>])
# One QtTest executable and one CTest test per tst_*.cpp of the calling folder.
# Every test gets a HOME of its own below the build folder.
function(corvo_tests)
    cmake_parse_arguments(A "" "TIMEOUT" "LIBS;ENVIRONMENT" ${ARGN})
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
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES
            TIMEOUT ${A_TIMEOUT}
            FIXTURES_REQUIRED test-homes
            ENVIRONMENT "HOME=${home};QT_QPA_PLATFORM=offscreen;QT_QUICK_BACKEND=software;${A_ENVIRONMENT}")
        set_property(GLOBAL APPEND PROPERTY CORVO_TEST_HOMES ${home})
        corvo_label_window_test(${name})
    endforeach()
endfunction()

# The tests of the window, its views and widgets (tests/qml) get the label "window": Qt Quick and a
# platform run whole in them (scripts/run-tsan.sh treats them apart).
function(corvo_label_window_test name)
    string(FIND "${CMAKE_CURRENT_SOURCE_DIR}/" "${PROJECT_SOURCE_DIR}/tests/qml/" at)
    if(at EQUAL 0)
        set_property(TEST ${name} APPEND PROPERTY LABELS window)
    endif()
endfunction()

# corvo_benchmark(<name> SOURCES <files>... LIBS <targets>...)
function(corvo_benchmark name)
    cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${A_SOURCES})
    target_link_libraries(${name} PRIVATE ${A_LIBS})
    target_compile_options(${name} PRIVATE ${CORVO_WARNINGS})
endfunction()
