# The switches of unattended and logged runs, exit codes, the log and the
# entry in Windows' list of programs.
add_test(NAME e2e_unattended
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/unattended.sh ${CMAKE_BINARY_DIR})
set_tests_properties(e2e_unattended PROPERTIES TIMEOUT 600)

# A planted version.dll and a probe that loads it as an unprotected program
# would, for the check that the setup.exe never does.
set(QV_PLANTED_DIR ${CMAKE_BINARY_DIR}/tests/e2e/planted)
add_library(planted_version SHARED ${CMAKE_CURRENT_SOURCE_DIR}/planted_dll.c)
set_target_properties(planted_version PROPERTIES PREFIX "" OUTPUT_NAME version
                      RUNTIME_OUTPUT_DIRECTORY ${QV_PLANTED_DIR})
add_executable(planted_probe WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/planted_dll.c)
target_compile_definitions(planted_probe PRIVATE QV_PLANTED_PROBE)
set_target_properties(planted_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QV_PLANTED_DIR})
