# User-interface classes: controls, frames with documents and views, property sheets and
# common dialogs. The sample program's resources include a toolbar bitmap and an animation
# clip that scripts write at build time; its window is saved as build/artifacts/framework-sample.png.
set(FW_UI_TOOLBAR_BMP ${CMAKE_CURRENT_BINARY_DIR}/ui_toolbar.bmp)
add_custom_command(OUTPUT ${FW_UI_TOOLBAR_BMP}
  COMMAND ${FW_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/make_toolbar_bmp.py ${FW_UI_TOOLBAR_BMP} 6
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_toolbar_bmp.py
  COMMENT "Drawing the sample toolbar bitmap")
set(FW_UI_CLIP_AVI ${CMAKE_CURRENT_BINARY_DIR}/ui_clip.avi)
add_custom_command(OUTPUT ${FW_UI_CLIP_AVI}
  COMMAND ${FW_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/make_avi.py ${FW_UI_CLIP_AVI}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_avi.py
  COMMENT "Writing the sample animation clip")
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/ui_sample.rc PROPERTIES
  OBJECT_DEPENDS "${FW_UI_TOOLBAR_BMP};${FW_UI_CLIP_AVI};${CMAKE_CURRENT_LIST_DIR}/ui_sample_res.h")

vorlix_add_gtest(fw_ui_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ui_frame_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui_ctrl_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui_dialog_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui_sample.rc
  LIBS framework test_support
  GUI)
target_include_directories(fw_ui_test PRIVATE ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_BINARY_DIR})
