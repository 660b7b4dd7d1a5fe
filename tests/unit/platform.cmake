# The platform layers' Linux backends.
izuzez_add_test(platform_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/unit/platform/DriveFolderTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/unit/platform/RemoteNameTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/unit/platform/TerminalPasswordTest.cpp LIBS izuzez_platform izuzez_test_support)
izuzez_add_test(platform_web_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/unit/platform/WebAccessTest.cpp
    LIBS izuzez_platform izuzez_test_support)
izuzez_add_test(embedded_files_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/unit/platform/EmbeddedFilesTest.cpp
    LIBS izuzez_platform izuzez_test_support)
izuzez_add_test(win_files_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/unit/platform/WinFilesTest.cpp
    LIBS izuzez_platform izuzez_test_support)
# The mount's bounds against a fake GIO backend, on the local VFS.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GIO_TEST REQUIRED IMPORTED_TARGET gio-2.0)
izuzez_add_test(mount_bound_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/unit/platform/MountBoundTest.cpp
    LIBS izuzez_platform izuzez_test_fakes PkgConfig::GIO_TEST)
izuzez_add_test(start_process_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/unit/platform/StartProcessTest.cpp
    LIBS izuzez_platform izuzez_test_support)
