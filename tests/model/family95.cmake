# The checks of the 95 family's road for files in use: a test program that
# test_model starts with Wine set to report Windows 98 for it.
add_executable(test_model_family95 ${CMAKE_CURRENT_LIST_DIR}/family95/test_Family95Child.cpp)
target_link_libraries(test_model_family95 PRIVATE qv_model qv_testsupport GTest::gtest_main)
target_include_directories(test_model_family95 PRIVATE ${CMAKE_CURRENT_LIST_DIR})
set_target_properties(test_model_family95 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/model)
if(TARGET test_model)
  add_dependencies(test_model test_model_family95)
endif()
