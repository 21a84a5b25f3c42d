# The sample product built with -b and installed from its self-extracting and
# its plain distribution, under Wine.
add_test(NAME e2e_sample_cycle
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/sample_cycle.sh ${CMAKE_BINARY_DIR})
set_tests_properties(e2e_sample_cycle PROPERTIES TIMEOUT 600)

# The sample's wizard driven by a user who cancels, changes the language and
# picks groups and folders of his own.
add_test(NAME e2e_sample_wizard
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/sample_wizard.sh ${CMAKE_BINARY_DIR})
set_tests_properties(e2e_sample_wizard PROPERTIES TIMEOUT 600)

# The sample's setup on a Windows of each of the sixteen languages, and the
# language page switching between code pages.
add_test(NAME e2e_languages
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/languages.sh ${CMAKE_BINARY_DIR})
set_tests_properties(e2e_languages PROPERTIES TIMEOUT 600)

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
