# The installation run as a user starts it: setup programs made from text
# projects with an engine whose main form publishes tracing event handlers,
# built with -b and installed under Wine from local media and from local
# HTTP and FTP servers; failures, a cancel, the copy window during a
# download, run-after-install files.  One CTest entry per group keeps each
# within a minute and a half.
add_executable(run_test_engine WIN32 ${CMAKE_CURRENT_LIST_DIR}/run_test_engine.cpp)
target_link_libraries(run_test_engine PRIVATE qv_setup)
# The kit's windows, with their forms and pictures, as the setup program has them.
qv_kit_resources(run_test_engine)
# Without symbols, like the shipped engine: every test build compresses it.
target_link_options(run_test_engine PRIVATE -s)
add_executable(run_trace WIN32 ${CMAKE_CURRENT_LIST_DIR}/run_trace.cpp)
add_executable(test_run ${CMAKE_CURRENT_LIST_DIR}/test_run.cpp ${CMAKE_CURRENT_LIST_DIR}/test_uninstall_support.cpp
               ${CMAKE_CURRENT_LIST_DIR}/../net/TestServer.cpp)
target_include_directories(test_run PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../net)
target_link_libraries(test_run PRIVATE qv_qvc qv_testsupport GTest::gtest_main)
add_dependencies(test_run run_test_engine run_trace kit)
foreach(group RunFixture NetRun)
  add_test(NAME e2e_run_${group} COMMAND test_run --gtest_color=no --gtest_filter=${group}.*)
  set_tests_properties(e2e_run_${group} PROPERTIES TIMEOUT 300
    ENVIRONMENT "QV_SOURCE_DIR=${CMAKE_SOURCE_DIR};QV_BINARY_DIR=${CMAKE_BINARY_DIR}")
endforeach()
