izuzez_add_test(cli_test
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/unit/cli/CliOptionsTest.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/unit/cli/CommandLineTest.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/unit/cli/CommandsTest.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/unit/cli/DriveCommandsTest.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/unit/cli/ProgressTest.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/unit/cli/WatchCommandTest.cpp
    LIBS izuzez_cli_shares izuzez_cli_reference izuzez_test_fakes nlohmann_json::nlohmann_json)
# The completion and manual the build made are compared with the declaration.
target_compile_definitions(cli_test PRIVATE IZUZEZ_PACKAGING_BUILD_DIR="${CMAKE_BINARY_DIR}/packaging"
                                            IZUZEZ_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_dependencies(cli_test izuzez_packaging_files)

# The front end starts without the share libraries: none of them may be among what it needs to load.
add_test(NAME cli_front_end_needs_no_share_libraries
    COMMAND sh -c "readelf -d \"$1\" | grep NEEDED > \"$2\" && ! grep -E 'smbclient|gio|glib|Qt' \"$2\""
            sh $<TARGET_FILE:izuzez> ${CMAKE_CURRENT_BINARY_DIR}/izuzez-needed.txt)
set_tests_properties(cli_front_end_needs_no_share_libraries PROPERTIES LABELS unit)
