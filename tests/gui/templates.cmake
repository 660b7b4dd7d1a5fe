# Dialog templates: parsing, dialog units, font resolution, the builder and the IP address field.
set(templates_test_dir ${CMAKE_CURRENT_SOURCE_DIR}/gui/templates)

izuzez_add_test(templates_parse_test
    SOURCES ${templates_test_dir}/ParseTest.cpp
    LIBS izuzez_skin izuzez_resources izuzez_services
    LABEL gui)

# These need a QApplication.
izuzez_add_test(templates_builder_test
    SOURCES ${templates_test_dir}/BuilderTest.cpp ${templates_test_dir}/IpAddressTest.cpp
    LIBS izuzez_skin izuzez_resources Qt6::Test
    LABEL gui GUI)
target_include_directories(templates_parse_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/gui)
target_include_directories(templates_builder_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/gui)
