# GUI tests of the skinned widgets, on the offscreen platform.
function(izuzez_add_skin_test name)
    cmake_parse_arguments(T "" "" "SOURCES" ${ARGN})
    izuzez_add_test(${name} SOURCES ${T_SOURCES} LIBS izuzez_skin izuzez_test_support Qt6::Test LABEL gui TIMEOUT 120 GUI)
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/gui/skin ${CMAKE_CURRENT_SOURCE_DIR}/gui)
endfunction()

set(skin_test_dir ${CMAKE_CURRENT_SOURCE_DIR}/gui/skin)
izuzez_add_skin_test(skin_regions_test SOURCES ${skin_test_dir}/RegionsTest.cpp)
izuzez_add_skin_test(skin_button_test SOURCES ${skin_test_dir}/ButtonTest.cpp)
izuzez_add_skin_test(skin_list_test SOURCES ${skin_test_dir}/ListTest.cpp)
izuzez_add_skin_test(skin_dialog_test SOURCES ${skin_test_dir}/DialogTest.cpp)
izuzez_add_skin_test(skin_progress_test SOURCES ${skin_test_dir}/ProgressTest.cpp)

# The skin at 200 %: the real 2x bitmaps from the resources, on a screen scaled by Qt.
izuzez_add_skin_test(skin_scale_test SOURCES ${skin_test_dir}/ScaleTest.cpp)
target_link_libraries(skin_scale_test PRIVATE izuzez_resources)
set_property(TEST skin_scale_test APPEND PROPERTY ENVIRONMENT QT_SCALE_FACTOR=2)
