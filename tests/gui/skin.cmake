# GUI tests of the skinned widgets. They need a QApplication, so they bring their own main
# (gui/GuiTestMain.cpp) instead of gtest_main.
function(izuzez_add_skin_test name)
    cmake_parse_arguments(T "" "" "SOURCES" ${ARGN})
    add_executable(${name} ${T_SOURCES} ${CMAKE_CURRENT_SOURCE_DIR}/gui/GuiTestMain.cpp)
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/gui/skin ${CMAKE_CURRENT_SOURCE_DIR}/gui)
    target_link_libraries(${name} PRIVATE izuzez_settings izuzez_skin Qt6::Test GTest::gtest)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS gui TIMEOUT 120
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;IZUZEZ_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
endfunction()

set(skin_test_dir ${CMAKE_CURRENT_SOURCE_DIR}/gui/skin)
izuzez_add_skin_test(skin_regions_test SOURCES ${skin_test_dir}/RegionsTest.cpp)
izuzez_add_skin_test(skin_button_test SOURCES ${skin_test_dir}/ButtonTest.cpp)
izuzez_add_skin_test(skin_list_test SOURCES ${skin_test_dir}/ListTest.cpp)
izuzez_add_skin_test(skin_dialog_test SOURCES ${skin_test_dir}/DialogTest.cpp)
izuzez_add_skin_test(skin_progress_test SOURCES ${skin_test_dir}/ProgressTest.cpp)
