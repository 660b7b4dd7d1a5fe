set(_protocol_tests ${CMAKE_CURRENT_LIST_DIR}/protocol)
izuzez_add_test(protocol_packets_test
    SOURCES ${_protocol_tests}/packets_test.cpp ${_protocol_tests}/reply_builder.cpp
    LIBS izuzez_protocol LABEL unit)
izuzez_add_test(protocol_lists_test
    SOURCES ${_protocol_tests}/lists_test.cpp ${_protocol_tests}/reply_builder.cpp
    LIBS izuzez_protocol LABEL unit)
izuzez_add_test(protocol_exchange_test
    SOURCES ${_protocol_tests}/exchange_test.cpp ${_protocol_tests}/reply_builder.cpp
    LIBS izuzez_protocol LABEL unit)
# Real sockets on the loopback interface only; needs no privileges.
izuzez_add_test(protocol_loopback_test
    SOURCES ${_protocol_tests}/loopback_test.cpp ${_protocol_tests}/reply_builder.cpp
    LIBS izuzez_protocol LABEL unit TIMEOUT 120)
izuzez_add_test(protocol_random_datagram_test
    SOURCES ${_protocol_tests}/random_datagram_test.cpp
    LIBS izuzez_protocol LABEL unit)
