# The platform layers' Linux backends.
izuzez_add_test(platform_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/unit/platform/DriveFolderTest.cpp LIBS izuzez_platform)
