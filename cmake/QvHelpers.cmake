# Helpers shared by the layer folders.

# qv_platform_sources(VAR GLOB...): the files matching the patterns that
# build on this platform: a name ending in _win.cpp builds only for Windows,
# _posix.cpp only elsewhere.
function(qv_platform_sources var)
  file(GLOB srcs CONFIGURE_DEPENDS ${ARGN})
  if(QV_WINDOWS)
    list(FILTER srcs EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER srcs EXCLUDE REGEX "_win\\.cpp$")
  endif()
  set(${var} ${srcs} PARENT_SCOPE)
endfunction()

# qv_layer(NAME DEPS...): the library of a layer folder, made of the .cpp
# files of the current folder that build on this platform.
function(qv_layer name)
  qv_platform_sources(srcs ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARGN})
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# qv_shipped(TARGET): an executable that goes to users.  After linking, its
# imports must be system DLLs only and its format must match the target.
function(qv_shipped target)
  if(NOT QV_WINDOWS)
    return()
  endif()
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(fmt pei-x86-64)
  else()
    set(fmt pei-i386)
  endif()
  # Shipped programs carry no symbols: a setup program is compressed into
  # every distribution.
  target_link_options(${target} PRIVATE -s)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${QV_OBJDUMP} -DFILE=$<TARGET_FILE:${target}>
            -DFORMAT=${fmt} -P ${CMAKE_SOURCE_DIR}/cmake/check-imports.cmake
    VERBATIM)
  set_property(GLOBAL APPEND PROPERTY QV_SHIPPED_TARGETS ${target})
endfunction()

# In a cross build, the tools that run during the build (the form compiler)
# are built for the build machine first.
function(qv_setup_host_tools)
  include(ExternalProject)
  set(host_dir ${CMAKE_BINARY_DIR}/host-tools)
  ExternalProject_Add(host_tools
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${host_dir}
    CMAKE_ARGS -DQV_HOST_TOOLS_ONLY=ON -DQV_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
               -DCMAKE_C_COMPILER=cc -DCMAKE_CXX_COMPILER=c++
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${host_dir} --target qvform
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${host_dir}/tools/qvform)
  set(QV_HOST_QVFORM ${host_dir}/tools/qvform CACHE INTERNAL "")
endfunction()

# The form compiler for this build: the host tool in a cross build.
function(qv_qvform_command out)
  if(QV_WINDOWS)
    set(${out} ${QV_HOST_QVFORM} PARENT_SCOPE)
  else()
    set(${out} $<TARGET_FILE:qvform> PARENT_SCOPE)
  endif()
endfunction()

# qv_compile_form(OUT_VAR TEXT_FORM [OUTPUT BINARY]): converts a text form
# into its binary stream at build time; OUT_VAR receives the path of the
# binary file (by default beside the build folder's other outputs).
function(qv_compile_form out src)
  cmake_parse_arguments(F "" "OUTPUT" "" ${ARGN})
  get_filename_component(base ${src} NAME_WE)
  set(bin ${CMAKE_CURRENT_BINARY_DIR}/${base}.bin)
  if(F_OUTPUT)
    set(bin ${F_OUTPUT})
  endif()
  qv_qvform_command(qvform)
  if(QV_WINDOWS)
    set(dep host_tools)
  else()
    set(dep qvform)
  endif()
  add_custom_command(OUTPUT ${bin}
    COMMAND ${qvform} tobin ${src} ${bin}
    DEPENDS ${src} ${dep}
    COMMENT "Compiling form ${base}"
    VERBATIM)
  set(${out} ${bin} PARENT_SCOPE)
endfunction()

# qv_test(NAME SOURCES... LIBS libs...): a GoogleTest executable registered
# with CTest (run under Wine in the Windows build).
function(qv_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  # Every test has a limit; under Wine the runner ends a hung program first
  # and shows the screen (QV_TEST_TIMEOUT, below this).
  set_tests_properties(${name} PROPERTIES TIMEOUT 600
                       ENVIRONMENT "QV_SOURCE_DIR=${CMAKE_SOURCE_DIR};QV_BINARY_DIR=${CMAKE_BINARY_DIR};QV_TEST_TIMEOUT=450")
endfunction()

# qv_fuzzer(NAME SOURCE LIBS...): a libFuzzer target (native clang only).
function(qv_fuzzer name src)
  if(QV_WINDOWS OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  add_executable(${name} ${src})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARGN})
  set_property(GLOBAL APPEND PROPERTY QV_FUZZ_TARGETS ${name})
endfunction()

# qv_kit_resources(TARGET): links the page forms and the pictures of ui/
# (kit-resources.rc, made in ui/CMakeLists.txt) into an executable.
function(qv_kit_resources target)
  target_sources(${target} PRIVATE ${QV_KIT_RESOURCES_RC})
  set_source_files_properties(${QV_KIT_RESOURCES_RC} PROPERTIES OBJECT_DEPENDS "${QV_KIT_RESOURCE_FILES}")
  add_dependencies(${target} qv_kit_resource_files)
endfunction()

set(QV_SETUP_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/../apps/setup/setup.manifest)
get_filename_component(QV_SETUP_MANIFEST ${QV_SETUP_MANIFEST} ABSOLUTE)

# qv_setup_program(TARGET PROJECT project.dfm TITLE "Title" [OUTPUT_NAME name]):
# a setup program: the setup engine with the project stream as its TFORM1
# resource and the installation title as QVTITLE.
function(qv_setup_program target)
  cmake_parse_arguments(S "" "PROJECT;TITLE;OUTPUT_NAME" "" ${ARGN})
  get_filename_component(project ${S_PROJECT} ABSOLUTE)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}.res)
  file(MAKE_DIRECTORY ${dir})
  qv_compile_form(bin ${project} OUTPUT ${dir}/project.bin)
  file(WRITE ${dir}/title.txt "${S_TITLE}")
  # The manifest (type 24, id 1) selects the common controls of version 6.
  file(WRITE ${dir}/project.rc "TFORM1 RCDATA \"${bin}\"\nQVTITLE RCDATA \"${dir}/title.txt\"\n"
                               "1 24 \"${QV_SETUP_MANIFEST}\"\n")
  set_source_files_properties(${dir}/project.rc PROPERTIES OBJECT_DEPENDS "${bin};${dir}/title.txt;${QV_SETUP_MANIFEST}")
  add_executable(${target} WIN32 ${CMAKE_SOURCE_DIR}/apps/setup/main.cpp ${dir}/project.rc)
  target_link_libraries(${target} PRIVATE qv_setup)
  qv_kit_resources(${target})
  if(S_OUTPUT_NAME)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${S_OUTPUT_NAME})
  endif()
  qv_shipped(${target})
endfunction()
