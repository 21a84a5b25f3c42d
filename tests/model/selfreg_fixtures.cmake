# Self-registering components for the install-file tests: a library (and a
# failing one) exporting DllRegisterServer, and a program answering
# /REGSERVER.  Found through QV_BINARY_DIR.
set(QV_SELFREG_DIR ${CMAKE_BINARY_DIR}/tests/model/selfreg-fixtures)
add_library(selfreg_ok SHARED ${CMAKE_CURRENT_LIST_DIR}/selfreg_dll.c)
add_library(selfreg_fail SHARED ${CMAKE_CURRENT_LIST_DIR}/selfreg_dll.c)
target_compile_definitions(selfreg_fail PRIVATE QV_SELFREG_FAIL)
add_executable(selfreg_exe WIN32 ${CMAKE_CURRENT_LIST_DIR}/selfreg_exe.c)
foreach(t selfreg_ok selfreg_fail selfreg_exe)
  set_target_properties(${t} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${QV_SELFREG_DIR})
  target_link_libraries(${t} PRIVATE advapi32)
  if(TARGET test_model)
    add_dependencies(test_model ${t})
  endif()
endforeach()
