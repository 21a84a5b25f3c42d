# The uninstaller: its routines, and whole removals under Wine of products
# that the kit's programs compiled, built and installed.
qv_test(test_uninstall SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_uninstall.cpp
        ${CMAKE_CURRENT_LIST_DIR}/test_uninstall_support.cpp
        LIBS qv_uninstall qv_engine qv_testsupport)
add_dependencies(test_uninstall kit qvauto selfreg_ok selfreg_exe)
