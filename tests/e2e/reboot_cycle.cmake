# A product whose self-registering component is in use while it installs:
# the restart of Wine (in a copy of the build's prefix) puts the new file in
# place and the resumption started from RunOnce registers it.  The same
# product once more with a reboot page, which asks the user first.
string(REPLACE "/" "\\" REBOOT_SELFREG_DIR "Z:${QV_SELFREG_DIR}")
string(REPLACE "/" "\\" REBOOT_PAYLOAD_DIR "Z:${CMAKE_CURRENT_LIST_DIR}/reboot")
set(REBOOT_DIALOGS "")
configure_file(${CMAKE_CURRENT_LIST_DIR}/reboot/project.dfm.in
               ${CMAKE_CURRENT_BINARY_DIR}/reboot/project.dfm @ONLY)
set(REBOOT_DIALOGS "  object RebootDialogs: TDialogManager\n    Container = Install1\n    ManagerType = dmReboot\n  end")
configure_file(${CMAKE_CURRENT_LIST_DIR}/reboot/project.dfm.in
               ${CMAKE_CURRENT_BINARY_DIR}/reboot-page/project.dfm @ONLY)
qv_setup_program(RebootSetup PROJECT ${CMAKE_CURRENT_BINARY_DIR}/reboot/project.dfm
                 TITLE "Quorvane Reboot Test")
qv_setup_program(RebootPageSetup PROJECT ${CMAKE_CURRENT_BINARY_DIR}/reboot-page/project.dfm
                 TITLE "Quorvane Reboot Test")
add_dependencies(RebootSetup selfreg_ok)
add_dependencies(RebootPageSetup selfreg_ok)
add_test(NAME e2e_reboot_cycle
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/reboot_cycle.sh ${CMAKE_BINARY_DIR})
set_tests_properties(e2e_reboot_cycle PROPERTIES TIMEOUT 420)
