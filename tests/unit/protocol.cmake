set(_protocol_tests ${CMAKE_CURRENT_LIST_DIR}/protocol)
izuzez_add_test(protocol_packets_test
    SOURCES ${_protocol_tests}/PacketsTest.cpp ${_protocol_tests}/ReplyBuilder.cpp
    LIBS izuzez_protocol LABEL unit)
izuzez_add_test(protocol_lists_test
    SOURCES ${_protocol_tests}/ListsTest.cpp ${_protocol_tests}/ReplyBuilder.cpp
    LIBS izuzez_protocol LABEL unit)
izuzez_add_test(protocol_exchange_test
    SOURCES ${_protocol_tests}/ExchangeTest.cpp ${_protocol_tests}/ReplyBuilder.cpp
    LIBS izuzez_protocol LABEL unit)
# Real sockets on the loopback interface only; needs no privileges.
izuzez_add_test(protocol_loopback_test
    SOURCES ${_protocol_tests}/LoopbackTest.cpp ${_protocol_tests}/ReplyBuilder.cpp
    LIBS izuzez_protocol LABEL unit TIMEOUT 120)
izuzez_add_test(protocol_random_datagram_test
    SOURCES ${_protocol_tests}/RandomDatagramTest.cpp
    LIBS izuzez_protocol LABEL unit)
# Real sockets in a network namespace of the test's own (skipped where none can be made).
izuzez_add_test(protocol_endpoints_test
    SOURCES ${_protocol_tests}/ArrivalOrderTest.cpp ${_protocol_tests}/ReceiverWarningTest.cpp
            ${_protocol_tests}/PrivateNetwork.cpp
            ${_protocol_tests}/ReplyBuilder.cpp
    LIBS izuzez_protocol LABEL unit TIMEOUT 60)
izuzez_add_test(protocol_operation_budget_test
    SOURCES ${_protocol_tests}/OperationBudgetTest.cpp ${_protocol_tests}/ReplyBuilder.cpp
    LIBS izuzez_protocol LABEL unit)
