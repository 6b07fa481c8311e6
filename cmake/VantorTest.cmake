# vantor_add_test(NAME name SOURCES a.cpp ... LIBS lib ...)
# Every test runs headless, in a fixed locale, in a working folder of its own.
function(vantor_add_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    # Several people work in one tree: a test whose file is not written yet is
    # skipped with a warning instead of stopping everyone's configure.
    foreach(src ${T_SOURCES})
        if(NOT IS_ABSOLUTE ${src} AND NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${src})
            message(WARNING "${T_NAME}: ${src} does not exist yet; test skipped")
            return()
        endif()
    endforeach()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
    target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    set(workdir ${CMAKE_CURRENT_BINARY_DIR}/work/${T_NAME})
    file(MAKE_DIRECTORY ${workdir})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${workdir})
    set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=en_US.UTF-8;LC_ALL=en_US.UTF-8;TZ=UTC;VANTOR_TEST_FIXTURES=${PROJECT_SOURCE_DIR}/tests/fixtures"
        TIMEOUT 300)
endfunction()
