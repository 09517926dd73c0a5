# Customisation: the button image editor and the customize drag loop, with the customize
# resources (customize.rc, joined to the toolkit's resource script) and their pictures.
target_sources(toolkit_commandbars PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPImageEditorDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPCustomizeDragLoop.cpp)

# The pictures of customize.rc land beside the toolkit's own, where toolkit.rc finds them.
get_filename_component(XTP_CUSTOMIZE_RES_DIR "${CMAKE_CURRENT_LIST_DIR}/../res" ABSOLUTE)
set(XTP_CUSTOMIZE_RES_GEN_DIR "${CMAKE_BINARY_DIR}/toolkit/res")
file(MAKE_DIRECTORY "${XTP_CUSTOMIZE_RES_GEN_DIR}")
vorlix_generate_at_configure("${XTP_CUSTOMIZE_RES_DIR}/make_customize_pictures.py" "${XTP_CUSTOMIZE_RES_GEN_DIR}")
set(XTP_CUSTOMIZE_PICTURES "${XTP_CUSTOMIZE_RES_DIR}/customize.rc;${XTP_CUSTOMIZE_RES_DIR}/customize_res.h")
foreach(name cz_cursor_9301.cur cz_cursor_9302.cur cz_cursor_9303.cur cz_cursor_9375.cur cz_cursor_9376.cur
    cz_cursor_9377.cur cz_cursor_9378.cur cz_cursor_9972.cur cz_bitmap_9322.bmp cz_bitmap_9352.bmp
    cz_bitmap_9353.bmp)
  list(APPEND XTP_CUSTOMIZE_PICTURES "${XTP_CUSTOMIZE_RES_GEN_DIR}/${name}")
endforeach()
set_property(SOURCE "${XTP_CUSTOMIZE_RES_DIR}/toolkit.rc" DIRECTORY "${CMAKE_SOURCE_DIR}/toolkit/common"
  APPEND PROPERTY OBJECT_DEPENDS "${XTP_CUSTOMIZE_PICTURES}")

commandbars_test(commandbars_customize_res_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/CustomizeResourcesTest.cpp)
commandbars_test(commandbars_image_editor_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/ImageEditorTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/image_editor_test.rc)
commandbars_test(commandbars_drag_loop_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/CustomizeDragLoopTest.cpp)
