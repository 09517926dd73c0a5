# Host build of the settings exchange's byte readers: their unit tests and, with clang,
# libFuzzer targets run for a bounded time over seeds the writers make.
set(XTP_PX_DIR ${CMAKE_CURRENT_LIST_DIR}/..)
add_library(xtp_px_bytes STATIC ${XTP_PX_DIR}/src/XTPPropExchangeBytes.cpp)
target_include_directories(xtp_px_bytes PUBLIC ${XTP_PX_DIR}/include)
target_compile_options(xtp_px_bytes PRIVATE -Wall -Wextra)

vorlix_add_native_gtest(xtp_px_bytes_tests
  SOURCES ${XTP_PX_DIR}/tests/native/px_bytes_test.cpp
  LIBS xtp_px_bytes)

if(VORLIX_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_library(xtp_px_bytes_fuzzlib STATIC ${XTP_PX_DIR}/src/XTPPropExchangeBytes.cpp)
  target_include_directories(xtp_px_bytes_fuzzlib PUBLIC ${XTP_PX_DIR}/include)
  target_compile_options(xtp_px_bytes_fuzzlib PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                                                      -fno-sanitize-recover=undefined)
  add_executable(xtp_px_fuzz ${XTP_PX_DIR}/fuzz/fuzz_px_bytes.cpp)
  target_link_libraries(xtp_px_fuzz PRIVATE xtp_px_bytes_fuzzlib)
  target_compile_options(xtp_px_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  target_link_options(xtp_px_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  add_executable(xtp_px_fuzz_seeds ${XTP_PX_DIR}/fuzz/make_px_seeds.cpp)
  target_link_libraries(xtp_px_fuzz_seeds PRIVATE xtp_px_bytes)
  set(XTP_PX_FUZZ_DIR ${CMAKE_CURRENT_BINARY_DIR}/px_fuzz)
  file(MAKE_DIRECTORY ${XTP_PX_FUZZ_DIR})
  add_test(NAME xtp_px_fuzz
    COMMAND sh -c "rm -rf corpus seeds && mkdir -p corpus seeds && \"$<TARGET_FILE:xtp_px_fuzz_seeds>\" seeds && \"$<TARGET_FILE:xtp_px_fuzz>\" -max_total_time=20 -timeout=10 -rss_limit_mb=1024 -max_len=4096 -print_final_stats=1 corpus seeds"
    WORKING_DIRECTORY ${XTP_PX_FUZZ_DIR})
  set_tests_properties(xtp_px_fuzz PROPERTIES TIMEOUT 120)
endif()
