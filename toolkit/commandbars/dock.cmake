# Dock bars and the docking layout, the toolbar with its dock context, and the command
# bars' docking operations (adding bars, docking, floating, frame layout).
target_sources(toolkit_commandbars PRIVATE
  src/XTPCommandBarSizes.cpp
  src/XTPDockBar.cpp
  src/XTPToolBar.cpp
  src/XTPBarDragContext.cpp
  src/XTPCommandBarsDocking.cpp)
# The toolbars' strings join the toolkit's resource script.
get_filename_component(cb_dock_res_dir "${CMAKE_CURRENT_LIST_DIR}/../res" ABSOLUTE)
set_property(SOURCE "${cb_dock_res_dir}/toolkit.rc" DIRECTORY "${CMAKE_SOURCE_DIR}/toolkit/common"
  APPEND PROPERTY OBJECT_DEPENDS
  "${cb_dock_res_dir}/dock.rc;${cb_dock_res_dir}/dock_res.h")

# Tests: dock rows as tables with sizes the test gives, the docking hit test, toolbar
# resources, and docking by drag with real input (SendInput) in a real frame.
commandbars_test(commandbars_dock_tests GUI
  ${CMAKE_CURRENT_LIST_DIR}/tests/DockBarTest.cpp ${CMAKE_CURRENT_LIST_DIR}/tests/dock_tests.rc)
set(cb_dock_test_gen_dir "${CMAKE_BINARY_DIR}/res-gen/commandbars_dock_tests")
vorlix_generate_at_configure("${CMAKE_CURRENT_LIST_DIR}/tests/make_dock_test_pictures.py" "${cb_dock_test_gen_dir}")
target_include_directories(commandbars_dock_tests PRIVATE ${cb_dock_test_gen_dir})
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/tests/dock_tests.rc APPEND PROPERTY OBJECT_DEPENDS
  "${cb_dock_test_gen_dir}/dock_test_4103.bmp;${cb_dock_test_gen_dir}/dock_test_4104.bmp;${cb_dock_test_gen_dir}/dock_test_4102.bmp")
