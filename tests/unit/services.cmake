# The installation rules that need no device.
izuzez_add_test(services_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/InstallRulesTest.cpp
    LIBS izuzez_services)
# The LAN settings' address rules, shared by the window and the command line.
izuzez_add_test(lanrules_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/LanSettingsRulesTest.cpp
    LIBS izuzez_services)
