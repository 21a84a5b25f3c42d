# The loading program: unit tests of its routines and end-to-end runs of the
# kit's QuorvaneLoadProgram.exe under Wine, with a stand-in setup program.
add_executable(test_loader_fake_setup WIN32 ${CMAKE_CURRENT_LIST_DIR}/test_loader_fake_setup.cpp)
target_link_libraries(test_loader_fake_setup PRIVATE advapi32)
qv_test(test_loader SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_loader.cpp LIBS qv_loader qv_testsupport)
add_dependencies(test_loader test_loader_fake_setup kit qvauto)
