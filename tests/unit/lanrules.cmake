izuzez_add_test(lanrules_test
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/unit/lanrules/LanSettingsRulesTest.cpp
    LIBS izuzez_services)
