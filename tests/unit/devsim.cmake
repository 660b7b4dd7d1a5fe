foreach(unit wire simulator faults config request_log loopback random_request)
    izuzez_add_test(devsim_${unit}_test
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/devsim/${unit}_test.cpp
        LIBS izuzez_devsim_core
        LABEL unit
        TIMEOUT 60)
endforeach()
