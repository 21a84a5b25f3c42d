# The install component where a restart is not possible: a test program that
# test_engine starts with Wine set to report Windows NT 3.51 for it.
add_executable(test_engine_nt351 ${CMAKE_CURRENT_LIST_DIR}/nt351/test_Nt351Child.cpp)
target_link_libraries(test_engine_nt351 PRIVATE qv_engine qv_testsupport GTest::gtest_main)
set_target_properties(test_engine_nt351 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/engine)
if(TARGET test_engine)
  add_dependencies(test_engine test_engine_nt351)
endif()
