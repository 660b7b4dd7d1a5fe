izuzez_add_test(cli_test
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/unit/cli/CliOptionsTest.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/unit/cli/CommandsTest.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/unit/cli/DriveCommandsTest.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/unit/cli/PasswordTest.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/unit/cli/PrintableTextTest.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/unit/cli/DiagnosisTest.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/unit/cli/ProgressTest.cpp
    LIBS izuzez_cli_core nlohmann_json::nlohmann_json)
