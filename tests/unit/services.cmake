# The installation rules that need no device.
izuzez_add_test(services_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/InstallRulesTest.cpp
    LIBS izuzez_services)
