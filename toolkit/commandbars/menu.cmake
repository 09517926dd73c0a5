# Popup bar scrolling and tear-off, the menu bar and the dialog bar.
target_sources(toolkit_commandbars PRIVATE
  src/XTPPopupBarScroll.cpp
  src/XTPDialogBar.cpp
  src/XTPMenuBar.cpp)

# The menu bar's strings and system-command images join the toolkit's resources.
get_filename_component(cb_menu_res_dir "${CMAKE_CURRENT_LIST_DIR}/../res" ABSOLUTE)
vorlix_generate_at_configure("${cb_menu_res_dir}/make_menubar_pictures.py" "${CMAKE_BINARY_DIR}/toolkit/res")
set_property(SOURCE "${cb_menu_res_dir}/toolkit.rc" DIRECTORY "${CMAKE_SOURCE_DIR}/toolkit/common"
  APPEND PROPERTY OBJECT_DEPENDS
  "${cb_menu_res_dir}/menubar.rc;${cb_menu_res_dir}/menubar_res.h;${CMAKE_BINARY_DIR}/toolkit/res/tk_bitmap_9407.bmp")

commandbars_test(commandbars_popup_scroll_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/PopupScrollTest.cpp)
commandbars_test(commandbars_popup_tearoff_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/PopupTearOffTest.cpp)
commandbars_test(commandbars_dialog_bar_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/DialogBarTest.cpp)
commandbars_test(commandbars_menu_bar_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/MenuBarTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/menu_bar_test.rc)
