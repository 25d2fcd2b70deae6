# kelvo_add_report_test(NAME SOURCES... LIBS...): like kelvo_add_test, with the
# same pinned environment, but without the database test support: the report
# tests run on in-memory rows and must not pull in the data-access library.
# Each test brings its own main() (it needs a Q(Gui)Application).
function(kelvo_add_report_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES AUTOMOC ON
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE KELVO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "LANG=C.UTF-8;LC_ALL=C.UTF-8;TZ=Europe/Prague;QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/tests/config;KELVO_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
        TIMEOUT 600)
endfunction()
