# The kit directory, build/<preset>/kit: the programs an author's setup
# program needs from the kit when it builds a distribution (the loading
# program, the uninstaller ...) and the marker file Q32V35.TXT by which the
# setup program recognises the folder on the library search path (see
# scripts/register-kit.sh).
#
# A program joins the kit with
#   set_property(GLOBAL APPEND PROPERTY QV_KIT_PROGRAMS <target>)
# from any folder; the kit target is made once every folder has been read,
# so the order of the folders does not matter.
set(QV_KIT_DIR ${CMAKE_BINARY_DIR}/kit CACHE INTERNAL "The kit directory of this build")
set(marker "Quorvane ${PROJECT_VERSION} kit directory.\n")
string(APPEND marker "The setup program finds the loading program and the uninstaller here when it\n")
string(APPEND marker "builds a distribution; it recognises the folder by this file.\n")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/kit-marker/Q32V35.TXT CONTENT "${marker}" NEWLINE_STYLE CRLF)

# The kit's language tables, and the translator object made from them that an
# author places in a project (see tools/qvform.cpp, "qvform translator").
file(GLOB tables CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/i18n/tables/*.txt)
set(QV_LANGUAGE_TABLES "${tables}" CACHE INTERNAL "The kit's language tables")
set(QV_KIT_TRANSLATOR ${CMAKE_BINARY_DIR}/kit-translator/Translator.dfm CACHE INTERNAL
    "The translator object of the kit's language tables")
qv_qvform_command(qvform_for_kit)
add_custom_command(OUTPUT ${QV_KIT_TRANSLATOR}
  COMMAND ${qvform_for_kit} translator ${CMAKE_SOURCE_DIR}/i18n/tables ${QV_KIT_TRANSLATOR}
  DEPENDS ${QV_LANGUAGE_TABLES} host_tools
  COMMENT "Making the translator of the kit's language tables"
  VERBATIM)
add_custom_target(kit_translator DEPENDS ${QV_KIT_TRANSLATOR})

function(qv_assemble_kit)
  get_property(programs GLOBAL PROPERTY QV_KIT_PROGRAMS)
  set(copies)
  foreach(t ${programs})
    list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${t}> ${QV_KIT_DIR}/)
  endforeach()
  add_custom_target(kit ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QV_KIT_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_BINARY_DIR}/kit-marker/Q32V35.TXT ${QV_KIT_DIR}/
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QV_KIT_TRANSLATOR} ${QV_KIT_DIR}/
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QV_KIT_DIR}/tables
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QV_LANGUAGE_TABLES} ${QV_KIT_DIR}/tables/
    ${copies}
    COMMENT "Assembling the kit directory ${QV_KIT_DIR}"
    VERBATIM)
  add_dependencies(kit kit_translator)
  if(programs)
    add_dependencies(kit ${programs})
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL qv_assemble_kit)

add_subdirectory(${CMAKE_CURRENT_SOURCE_DIR}/loader)
