# Puts the kit's translator object into the sample project where the line
# "@TRANSLATOR@" stands, indented as one of the main form's objects.
#   cmake -DPROJECT_IN=... -DTRANSLATOR=... -DOUT=... -P splice-translator.cmake
cmake_minimum_required(VERSION 3.20)
file(READ ${PROJECT_IN} project)
file(READ ${TRANSLATOR} translator)
string(REGEX REPLACE "\r?\n$" "" translator "${translator}")
string(REGEX REPLACE "\n" "\n  " translator "  ${translator}")
string(REPLACE "  @TRANSLATOR@" "${translator}" project "${project}")
file(WRITE ${OUT}.tmp "${project}")
file(RENAME ${OUT}.tmp ${OUT})
