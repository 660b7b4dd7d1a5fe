# End-to-end tests over real sockets. The namespace cases skip themselves without root; the loopback case
# always runs. They drive the built izuzez and izuzez-devsim, so those are built first. They bound how long
# the program takes, so each runs with nothing else beside it.
find_package(nlohmann_json 3 REQUIRED)

foreach(unit Search Operations Wire Loopback Doctor Watch Wake)
    string(TOLOWER "${unit}" name)
    izuzez_add_test(e2e_${name} LABEL e2e TIMEOUT 300 SERIAL LOCKS loopback_group
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${unit}Test.cpp
        LIBS izuzez_test_support izuzez_protocol nlohmann_json::nlohmann_json)
    add_dependencies(e2e_${name} izuzez izuzez-devsim)
endforeach()

# Drive letters against a real Samba server and GVfs, both started by the test; some cases in the test's
# own process, through the platform layer.
izuzez_add_test(e2e_drives LABEL e2e TIMEOUT 600 LOCKS loopback_group
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/e2e/DrivesTest.cpp
    LIBS izuzez_platform izuzez_test_support)
add_dependencies(e2e_drives izuzez izuzez-devsim)
# The autostart entry's own Exec line is run, so that entry and program cannot drift apart.
target_compile_definitions(e2e_drives PRIVATE
    IZUZEZ_AUTOSTART_ENTRY="${PROJECT_SOURCE_DIR}/packaging/izuzez-drives.desktop")

izuzez_add_test(e2e_webpage LABEL e2e TIMEOUT 300 SERIAL LOCKS loopback_group
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/e2e/WebPageTest.cpp
    LIBS izuzez_test_support)
add_dependencies(e2e_webpage izuzez izuzez-devsim)
# Installations against the simulator and a real Samba server in the lab's namespace.
izuzez_add_test(e2e_services LABEL e2e TIMEOUT 600 SERIAL LOCKS loopback_group
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/e2e/ServicesTest.cpp LIBS izuzez_test_support)
add_dependencies(e2e_services izuzez izuzez-devsim)
