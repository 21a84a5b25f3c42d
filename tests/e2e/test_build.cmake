# Building distributions with "Setup.exe -b" and the setup program's
# start-up failures: compiled projects run under Wine, their message boxes
# read and closed by the test.
qv_test(test_build SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_build.cpp ${CMAKE_CURRENT_LIST_DIR}/test_uninstall_support.cpp
        LIBS qv_engine qv_testsupport)
add_dependencies(test_build kit qvarc version_driver)
# Its floppy checks expect no drive A:, which the small-disk test maps.
set_tests_properties(test_build PROPERTIES RESOURCE_LOCK wine_drive_a)
