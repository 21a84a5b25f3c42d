# The project compiler: in-process checks of its routines and runs of the
# kit's qvc.exe under Wine.
qv_test(test_qvc SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_qvc.cpp ${CMAKE_CURRENT_LIST_DIR}/test_uninstall_support.cpp
        LIBS qv_qvc qv_testsupport)
add_dependencies(test_qvc kit)
