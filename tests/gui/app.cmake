# The program's window and dialogs, driven on the offscreen platform. The window tests start the device
# simulator on loopback (in a network namespace of their own when run as root).
set(app_test_dir ${CMAKE_CURRENT_SOURCE_DIR}/gui/app)

add_library(izuzez_app_test_support STATIC ${app_test_dir}/AppTestSupport.cpp)
target_include_directories(izuzez_app_test_support PUBLIC ${app_test_dir})
target_link_libraries(izuzez_app_test_support
    PUBLIC izuzez_app izuzez_test_fakes Qt6::Test GTest::gtest PRIVATE izuzez_settings)

izuzez_add_test(app_dialogs_test
    SOURCES ${app_test_dir}/DialogsTest.cpp
    LIBS izuzez_app_test_support
    LABEL gui GUI)

add_dependencies(app_dialogs_test izuzez-utility)

izuzez_add_test(app_window_test
    SOURCES ${app_test_dir}/WindowTest.cpp
    LIBS izuzez_app_test_support
    LABEL gui TIMEOUT 180 GUI)
add_dependencies(app_window_test izuzez-devsim)
# Without root it shares the machine's loopback interface, where another test's simulator would answer.
set_tests_properties(app_window_test PROPERTIES RUN_SERIAL TRUE)

izuzez_add_test(app_web_drives_test
    SOURCES ${app_test_dir}/WebAndDrivesTest.cpp
    LIBS izuzez_app_test_support
    LABEL gui TIMEOUT 180 GUI)
add_dependencies(app_web_drives_test izuzez-devsim)
set_tests_properties(app_web_drives_test PROPERTIES RUN_SERIAL TRUE)

# The window against a real Samba server and GVfs, both started by the test (root only; skips otherwise).
izuzez_add_test(app_samba_window_test
    SOURCES ${app_test_dir}/SambaWindowTest.cpp
    LIBS izuzez_app_test_support
    LABEL e2e TIMEOUT 300 GUI LOCKS loopback_group)
add_dependencies(app_samba_window_test izuzez-devsim)
izuzez_add_test(app_services_test
    SOURCES ${app_test_dir}/ServicesDialogsTest.cpp
    LIBS izuzez_app_test_support
    LABEL gui TIMEOUT 180 GUI)
add_dependencies(app_services_test izuzez-devsim)
set_tests_properties(app_services_test PROPERTIES RUN_SERIAL TRUE)
