# Drawing classes: pixels in memory DCs and windows, GDI object wrappers, image lists.
vorlix_add_gtest(fw_gdi_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/gdi_test.cpp ${CMAKE_CURRENT_LIST_DIR}/gdi_test.rc
                 LIBS framework test_support)
set(FW_GDI_STRIP_BMP ${CMAKE_CURRENT_BINARY_DIR}/gdi_test_strip.bmp)
add_custom_command(OUTPUT ${FW_GDI_STRIP_BMP}
  COMMAND ${FW_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/make_gdi_strip.py ${FW_GDI_STRIP_BMP}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_gdi_strip.py
  COMMENT "Drawing the drawing tests' image strip")
# windres neither finds nor tracks the bitmap by itself.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/gdi_test.rc PROPERTIES
  COMPILE_OPTIONS "-I${CMAKE_CURRENT_BINARY_DIR}"
  OBJECT_DEPENDS ${FW_GDI_STRIP_BMP})
