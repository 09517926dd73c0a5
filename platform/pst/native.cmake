# Host build: tools, the template generator, unit tests, fuzz targets.
add_executable(pstdump ${CMAKE_CURRENT_SOURCE_DIR}/tools/pstdump.cpp)
target_link_libraries(pstdump PRIVATE pst)
target_include_directories(pstdump PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)

vorlix_add_native_gtest(pst_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/write_read_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/tests/append_test.cpp
           ${CMAKE_CURRENT_SOURCE_DIR}/tests/durability_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/tests/crc_hook.cpp
           ${CMAKE_CURRENT_SOURCE_DIR}/tests/template_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/tests/malformed_test.cpp
  LIBS pst)

# Fuzzing the reader of existing files: libFuzzer with AddressSanitizer, run for a bounded
# time by ctest over a seed corpus of our own files.
if(VORLIX_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_library(pst_fuzzlib STATIC ${PST_SOURCES})
  target_include_directories(pst_fuzzlib PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
                                         PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_compile_options(pst_fuzzlib PRIVATE -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
  add_executable(pst_fuzz_open ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/fuzz_open.cpp)
  target_link_libraries(pst_fuzz_open PRIVATE pst_fuzzlib)
  target_compile_options(pst_fuzz_open PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  target_link_options(pst_fuzz_open PRIVATE -fsanitize=fuzzer,address,undefined)
  add_executable(pst_fuzz_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/make_seeds.cpp)
  target_link_libraries(pst_fuzz_seeds PRIVATE pst)
  set(PST_FUZZ_DIR ${CMAKE_CURRENT_BINARY_DIR}/fuzz)
  add_test(NAME pst_fuzz_open
    COMMAND sh -c "rm -rf corpus seeds && mkdir -p corpus seeds && \"$<TARGET_FILE:pst_fuzz_seeds>\" seeds && \"$<TARGET_FILE:pst_fuzz_open>\" -max_total_time=20 -timeout=10 -rss_limit_mb=2048 -max_len=300000 -print_final_stats=1 corpus seeds"
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(pst_fuzz_open PROPERTIES TIMEOUT 120)
endif()

# The speed benchmark, native flavour (bench/pst builds it for Windows).
add_executable(bench_pst_native ${VORLIX_ROOT}/bench/pst/bench_pst.cpp)
target_link_libraries(bench_pst_native PRIVATE pst)
target_include_directories(bench_pst_native PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
