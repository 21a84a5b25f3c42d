# A product whose self-registering component is in use while it installs:
# the restart of Wine (in a copy of the build's prefix) puts the new file in
# place and the resumption started from RunOnce registers it.
string(REPLACE "/" "\\" REBOOT_SELFREG_DIR "Z:${QV_SELFREG_DIR}")
string(REPLACE "/" "\\" REBOOT_PAYLOAD_DIR "Z:${CMAKE_CURRENT_LIST_DIR}/reboot")
configure_file(${CMAKE_CURRENT_LIST_DIR}/reboot/project.dfm.in
               ${CMAKE_CURRENT_BINARY_DIR}/reboot/project.dfm @ONLY)
qv_setup_program(RebootSetup PROJECT ${CMAKE_CURRENT_BINARY_DIR}/reboot/project.dfm
                 TITLE "Quorvane Reboot Test")
add_dependencies(RebootSetup selfreg_ok)
add_test(NAME e2e_reboot_cycle
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/reboot_cycle.sh ${CMAKE_BINARY_DIR})
set_tests_properties(e2e_reboot_cycle PROPERTIES TIMEOUT 300)
