# vantor_add_test(NAME name SOURCES a.cpp ... LIBS lib ...)
# Every test links tests/support and runs headless, in a fixed locale, in a working folder of its own.
function(vantor_add_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test testsupport ${T_LIBS})
    target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    set(workdir ${CMAKE_CURRENT_BINARY_DIR}/work/${T_NAME})
    file(MAKE_DIRECTORY ${workdir})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${workdir})
    set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=en_US.UTF-8;LC_ALL=en_US.UTF-8;TZ=UTC"
        TIMEOUT 300)
endfunction()
