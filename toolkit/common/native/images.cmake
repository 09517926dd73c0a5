# Host build of the image manager's byte-level readers (.ico files, icon, bitmap and
# toolbar resources, stored icon records): unit tests, and libFuzzer targets run for a
# bounded time over seeds of our own making.
set(TK_IMAGES_DIR ${CMAKE_CURRENT_LIST_DIR}/..)
add_library(tk_image_readers STATIC ${TK_IMAGES_DIR}/src/XTPImageReaders.cpp)
target_include_directories(tk_image_readers PUBLIC ${TK_IMAGES_DIR}/include ${TK_IMAGES_DIR}/src)

vorlix_add_native_gtest(tk_image_readers_test
  SOURCES ${TK_IMAGES_DIR}/tests/image_readers_test.cpp
  LIBS tk_image_readers)

if(VORLIX_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_library(tk_image_readers_fuzzlib STATIC ${TK_IMAGES_DIR}/src/XTPImageReaders.cpp)
  target_include_directories(tk_image_readers_fuzzlib PUBLIC ${TK_IMAGES_DIR}/include ${TK_IMAGES_DIR}/src)
  target_compile_options(tk_image_readers_fuzzlib PRIVATE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
  add_executable(tk_image_seeds ${TK_IMAGES_DIR}/fuzz/image_seeds.cpp)
  target_link_libraries(tk_image_seeds PRIVATE tk_image_readers)
  foreach(target ico icon_record resources)
    add_executable(tk_fuzz_${target} ${TK_IMAGES_DIR}/fuzz/fuzz_${target}.cpp)
    target_link_libraries(tk_fuzz_${target} PRIVATE tk_image_readers_fuzzlib)
    target_compile_options(tk_fuzz_${target} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
    target_link_options(tk_fuzz_${target} PRIVATE -fsanitize=fuzzer,address,undefined)
    add_test(NAME tk_fuzz_${target}
      COMMAND sh -c "rm -rf corpus_${target} seeds_${target} && mkdir -p corpus_${target} seeds_${target} && \"$<TARGET_FILE:tk_image_seeds>\" ${target} seeds_${target} && \"$<TARGET_FILE:tk_fuzz_${target}>\" -max_total_time=20 -timeout=10 -rss_limit_mb=1024 -max_len=20000 -print_final_stats=1 corpus_${target} seeds_${target}"
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(tk_fuzz_${target} PROPERTIES TIMEOUT 120)
  endforeach()
endif()
