# Tab strips: the tab manager and its items, the tab paint manager with its appearance
# and colour sets, and the tab control window.
target_sources(toolkit_controls PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPTabManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPTabPaintManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPTabAppearanceSets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPTabColorSets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPTabControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPTabCommon.cpp
)
# The tooltip context takes the tab control's tooltips once the common layer builds it;
# until then the control fills the tool records itself.
if(EXISTS ${CMAKE_SOURCE_DIR}/toolkit/common/src/XTPToolTipContext.cpp)
  target_compile_definitions(toolkit_controls PRIVATE XTP_TAB_TOOLTIP_CONTEXT=1)
endif()

vorlix_add_gtest(tk_tabs_layout_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/tab_layout_test.cpp
  LIBS toolkit_controls test_support)
vorlix_use_toolkit(tk_tabs_layout_test)

vorlix_add_gtest(tk_tabs_control_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/tab_control_test.cpp
  LIBS toolkit_controls test_support GUI)
vorlix_use_toolkit(tk_tabs_control_test)

vorlix_add_gtest(tk_tabs_gallery_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/tab_gallery_test.cpp
  LIBS toolkit_controls test_support)
vorlix_use_toolkit(tk_tabs_gallery_test)
