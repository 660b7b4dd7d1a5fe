# The rules shared by the window and the command line, and the installation rules that need no device.
izuzez_add_test(services_test
    SOURCES
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/AddressChangeTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/AdminLoginTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/DeviceChangesTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/DiagnosisTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/DoctorReportTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/DriveLettersTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/FilePlacesTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/InstallRulesTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/LanSettingsRulesTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/MapVolumeTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/MappingCredentialsTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/OutsideNetworkTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/ProtocolSessionTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/ReconnectLettersTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/VolumeListTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/WakeOnLanTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/WebLaunchTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/unit/services/WindowsVersionTest.cpp
    LIBS izuzez_services izuzez_test_fakes nlohmann_json::nlohmann_json)
