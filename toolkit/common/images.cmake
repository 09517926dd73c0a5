# Image manager: pictures (icons and alpha bitmaps), their generated forms, icon sets,
# the image manager with its resource loading, clipboard format and persistence, and the
# byte-level readers of the formats it takes in.
target_sources(toolkit_common PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPImageReaders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPImageManagerIcon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPImageManager.cpp)

# Tests: pictures drawn at configure time, a resource script with raw toolbar resources.
set(TK_IMAGES_FIXTURES ${CMAKE_CURRENT_BINARY_DIR}/image_fixtures)
vorlix_generate_at_configure(${CMAKE_CURRENT_LIST_DIR}/tests/make_image_fixtures.py ${TK_IMAGES_FIXTURES})
set(TK_IMAGES_RC ${CMAKE_CURRENT_LIST_DIR}/tests/images_test.rc)
set_source_files_properties(${TK_IMAGES_RC} PROPERTIES
  COMPILE_OPTIONS "-I${TK_IMAGES_FIXTURES};-I${CMAKE_CURRENT_LIST_DIR}/tests"
  OBJECT_DEPENDS "${TK_IMAGES_FIXTURES}/strip24.bmp;${TK_IMAGES_FIXTURES}/alpha32.bmp;${TK_IMAGES_FIXTURES}/alpha_icons.ico;${TK_IMAGES_FIXTURES}/plain_icons.ico;${CMAKE_CURRENT_LIST_DIR}/tests/images_test_res.h")
vorlix_add_gtest(tk_images_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/images_icon_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/images_manager_test.cpp
          ${TK_IMAGES_RC}
  LIBS toolkit_common test_support)
target_compile_definitions(tk_images_test PRIVATE IMAGE_FIXTURE_DIR=L"${TK_IMAGES_FIXTURES}")
target_include_directories(tk_images_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
vorlix_use_toolkit(tk_images_test)
# The real clipboard is shared by everything on the display.
vorlix_add_gtest(tk_images_clipboard_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/images_clipboard_test.cpp
  LIBS toolkit_common test_support GUI)
target_include_directories(tk_images_clipboard_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
vorlix_use_toolkit(tk_images_clipboard_test)
