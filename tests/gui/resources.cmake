# Embedded bitmaps, icon, templates and version.
set(resources_test_dir ${CMAKE_CURRENT_SOURCE_DIR}/gui/resources)

# A static library in between, as the application will have: the resources must still arrive.
add_library(resources_probe STATIC ${resources_test_dir}/ResourcesProbe.cpp)
target_link_libraries(resources_probe PUBLIC izuzez_resources PRIVATE izuzez_settings)

izuzez_add_test(resources_test
    SOURCES ${resources_test_dir}/ResourcesTest.cpp
    LIBS resources_probe Qt6::Gui
    LABEL gui)
target_include_directories(resources_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/gui)
