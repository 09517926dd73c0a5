# Drawing classes: pixels in memory DCs and windows, GDI object wrappers, image lists.
vorlix_add_gtest(fw_gdi_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/gdi_test.cpp ${CMAKE_CURRENT_LIST_DIR}/gdi_test.rc
                 LIBS framework)
# windres neither finds nor tracks the bitmap by itself.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/gdi_test.rc PROPERTIES
  COMPILE_OPTIONS "-I${CMAKE_CURRENT_LIST_DIR}"
  OBJECT_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/gdi_test_strip.bmp)
