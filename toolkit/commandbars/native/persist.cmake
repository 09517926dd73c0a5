# Host build of the stored-layout reader (controls stream, placement values): its unit
# tests and, with clang, a libFuzzer target run for a bounded time over the streams the
# Windows layout tests saved (build/artifacts/commandbars/layout_seeds) when present.
set(XTP_LAYOUT_DIR ${CMAKE_CURRENT_LIST_DIR}/..)
set(XTP_LAYOUT_COMMON ${XTP_LAYOUT_DIR}/../common)
set(XTP_LAYOUT_SOURCES ${XTP_LAYOUT_DIR}/src/XTPCommandBarsPersistStream.cpp
                       ${XTP_LAYOUT_COMMON}/src/XTPPropExchangeBytes.cpp
                       ${XTP_LAYOUT_COMMON}/src/XTPImageReaders.cpp)
set(XTP_LAYOUT_INCLUDES ${XTP_LAYOUT_DIR}/include ${XTP_LAYOUT_COMMON}/include ${XTP_LAYOUT_COMMON}/src)
add_library(xtp_layout_stream STATIC ${XTP_LAYOUT_SOURCES})
target_include_directories(xtp_layout_stream PUBLIC ${XTP_LAYOUT_INCLUDES})
target_compile_options(xtp_layout_stream PRIVATE -Wall -Wextra)

vorlix_add_native_gtest(xtp_layout_stream_tests
  SOURCES ${XTP_LAYOUT_DIR}/tests/native/layout_stream_test.cpp
  LIBS xtp_layout_stream)

if(VORLIX_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_library(xtp_layout_stream_fuzzlib STATIC ${XTP_LAYOUT_SOURCES})
  target_include_directories(xtp_layout_stream_fuzzlib PUBLIC ${XTP_LAYOUT_INCLUDES})
  target_compile_options(xtp_layout_stream_fuzzlib PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                                                           -fno-sanitize-recover=undefined)
  add_executable(xtp_layout_fuzz ${XTP_LAYOUT_DIR}/fuzz/fuzz_layout_stream.cpp)
  target_link_libraries(xtp_layout_fuzz PRIVATE xtp_layout_stream_fuzzlib)
  target_compile_options(xtp_layout_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  target_link_options(xtp_layout_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  set(XTP_LAYOUT_FUZZ_DIR ${CMAKE_CURRENT_BINARY_DIR}/layout_fuzz)
  set(XTP_LAYOUT_SEEDS ${VORLIX_ROOT}/build/artifacts/commandbars/layout_seeds)
  file(MAKE_DIRECTORY ${XTP_LAYOUT_FUZZ_DIR})
  # Crashers land in crashers/ so that the Windows replay test can load each one.
  add_test(NAME xtp_layout_fuzz
    COMMAND sh -c "rm -rf corpus && mkdir -p corpus seeds crashers && if [ -d '${XTP_LAYOUT_SEEDS}' ]; then cp '${XTP_LAYOUT_SEEDS}'/* seeds/ 2>/dev/null; else echo 'no saved layout streams: fuzzing from hand-made seeds only'; fi; \"$<TARGET_FILE:xtp_layout_fuzz>\" -max_total_time=30 -timeout=10 -rss_limit_mb=1024 -max_len=65536 -artifact_prefix=crashers/ -print_final_stats=1 corpus seeds"
    WORKING_DIRECTORY ${XTP_LAYOUT_FUZZ_DIR})
  set_tests_properties(xtp_layout_fuzz PROPERTIES TIMEOUT 180)
endif()
