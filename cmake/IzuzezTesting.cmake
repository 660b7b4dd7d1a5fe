# One test executable per unit. Labels: unit (fast, no privileges), gui (Qt offscreen),
# e2e (real sockets; the namespace cases skip themselves without root).
# GUI: the program needs a QApplication, so it runs under the GUI tests' main.
# SERIAL: the test asserts how long things take, so it runs with nothing else beside it.
# LOCKS: resources it shares with others (such as the group's port on the loopback interface).
# A program whose cases skipped themselves exits with 77 and ctest reports it as skipped, not passed.
function(izuzez_add_test name)
    cmake_parse_arguments(T "SERIAL;GUI" "LABEL;TIMEOUT" "SOURCES;LIBS;LOCKS" ${ARGN})
    if(NOT T_LABEL)
        set(T_LABEL unit)
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set(main izuzez_test_main)
    if(T_GUI)
        set(main izuzez_gui_test_main)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE izuzez_settings ${T_LIBS} ${main} GTest::gtest)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABEL}" TIMEOUT ${T_TIMEOUT} SKIP_RETURN_CODE 77
        # Searches remember their devices; tests never write the user's own cache.
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;IZUZEZ_BIN_DIR=${CMAKE_BINARY_DIR}/bin;XDG_CACHE_HOME=${CMAKE_BINARY_DIR}/test-cache")
    if(T_SERIAL)
        set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
    endif()
    if(T_LOCKS)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
    endif()
endfunction()
