set(_protocol_tests ${CMAKE_CURRENT_LIST_DIR}/protocol)
foreach(unit Packets Lists RandomDatagram SearchTally PrintableText Ipv4Text)
    string(REGEX REPLACE "([a-z])([A-Z])" "\\1_\\2" test_name "${unit}")
    string(TOLOWER "${test_name}" test_name)
    izuzez_add_test(protocol_${test_name}_test
        SOURCES ${_protocol_tests}/${unit}Test.cpp
        LIBS izuzez_protocol izuzez_test_support LABEL unit)
endforeach()
# Real sockets on the loopback interface only; needs no privileges. It times a failed exchange, so it runs alone.
izuzez_add_test(protocol_loopback_test
    SOURCES ${_protocol_tests}/LoopbackTest.cpp
    LIBS izuzez_protocol izuzez_test_support LABEL unit TIMEOUT 120 SERIAL LOCKS loopback_group)
# Real sockets in a network namespace of the test's own (skipped where none can be made).
izuzez_add_test(protocol_endpoints_test
    SOURCES ${_protocol_tests}/ArrivalOrderTest.cpp ${_protocol_tests}/ReceiverWarningTest.cpp
    LIBS izuzez_protocol izuzez_test_support LABEL unit TIMEOUT 60)
izuzez_add_test(protocol_operation_budget_test
    SOURCES ${_protocol_tests}/OperationBudgetTest.cpp
    LIBS izuzez_protocol izuzez_test_support LABEL unit)
