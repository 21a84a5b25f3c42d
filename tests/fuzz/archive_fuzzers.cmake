# Fuzz targets of the archive engine, on an instrumented copy of the archive
# layer (coverage feedback from inside the parser and the extractor).
qv_platform_sources(archive_srcs ${CMAKE_SOURCE_DIR}/archive/*.cpp)
add_library(qv_archive_fuzz STATIC ${archive_srcs})
target_compile_options(qv_archive_fuzz PRIVATE -fsanitize=fuzzer-no-link)
target_link_libraries(qv_archive_fuzz PUBLIC qv_rtl_fuzz qv_zlib)

qv_fuzzer(fuzz_archive_headers ${CMAKE_CURRENT_LIST_DIR}/fuzz_archive_headers.cpp qv_archive_fuzz)
qv_fuzzer(fuzz_archive_extract ${CMAKE_CURRENT_LIST_DIR}/fuzz_archive_extract.cpp qv_archive_fuzz)
qv_fuzzer(fuzz_distribution ${CMAKE_CURRENT_LIST_DIR}/fuzz_distribution.cpp qv_archive_fuzz)
