# The distribution on small disks: drive A: of the build's Wine prefix is a
# small tmpfs folder while it runs (mounted as root; skipped otherwise).
add_test(NAME e2e_small_disks
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/small_disks.sh ${CMAKE_BINARY_DIR})
set_tests_properties(e2e_small_disks PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77 RESOURCE_LOCK wine_drive_a)
