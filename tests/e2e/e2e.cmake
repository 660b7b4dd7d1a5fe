# End-to-end tests over real sockets. The namespace cases skip themselves without root; the loopback case
# always runs. They drive the built izuzez and izuzez-devsim, so those are built first.
find_package(nlohmann_json 3 REQUIRED)

add_library(izuzez_e2e_support STATIC
    ${CMAKE_CURRENT_SOURCE_DIR}/e2e/support/Process.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/e2e/support/Lab.cpp
)
target_include_directories(izuzez_e2e_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
target_link_libraries(izuzez_e2e_support PUBLIC izuzez_settings nlohmann_json::nlohmann_json GTest::gtest)

foreach(unit Search Operations Wire Loopback)
    string(TOLOWER "${unit}" name)
    izuzez_add_test(e2e_${name} LABEL e2e TIMEOUT 240
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${unit}Test.cpp LIBS izuzez_e2e_support izuzez_protocol)
    if(TARGET izuzez AND TARGET izuzez-devsim)
        add_dependencies(e2e_${name} izuzez izuzez-devsim)
    endif()
endforeach()
