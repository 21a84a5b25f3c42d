# Independent checks of the archives the build's own qvarc writes: Python's
# zlib must inflate every member (natively, and through Wine for the Windows
# build).
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND AND TARGET qvarc)
  set(runner)
  set(wine_flag)
  if(QV_WINDOWS)
    set(runner ${QV_WINE_RUN})
    set(wine_flag --wine)
  endif()
  add_test(NAME archive_members_inflate_with_python
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/check_zlib_members.py
            --work ${CMAKE_CURRENT_BINARY_DIR}/archive-zlib-check ${wine_flag} -- ${runner} $<TARGET_FILE:qvarc>)
endif()
