# Small DLLs carrying version resources, compiled from the resource scripts
# here, for the version reader tests (found through QV_BINARY_DIR).
set(QV_VERSION_FIXTURE_DIR ${CMAKE_BINARY_DIR}/tests/model/version-fixtures)
foreach(fixture version_multi version_driver version_font)
  add_library(${fixture} SHARED ${CMAKE_CURRENT_LIST_DIR}/version_fixture_stub.c
                                ${CMAKE_CURRENT_LIST_DIR}/${fixture}.rc)
  set_target_properties(${fixture} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${QV_VERSION_FIXTURE_DIR})
  if(TARGET test_model)
    add_dependencies(test_model ${fixture})
  endif()
endforeach()
