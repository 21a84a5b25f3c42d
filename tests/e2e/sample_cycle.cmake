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
