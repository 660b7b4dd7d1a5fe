foreach(unit Wire Simulator Config Loopback RandomRequest)
    string(REGEX REPLACE "([a-z])([A-Z])" "\\1_\\2" test_name "${unit}")
    string(TOLOWER "${test_name}" test_name)
    izuzez_add_test(devsim_${test_name}_test
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/devsim/${unit}Test.cpp
        LIBS izuzez_devsim_core izuzez_test_support
        LABEL unit
        TIMEOUT 60)
endforeach()
set_tests_properties(devsim_loopback_test PROPERTIES RESOURCE_LOCK loopback_group)
