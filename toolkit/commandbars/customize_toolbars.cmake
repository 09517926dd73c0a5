# The customize sheet's toolbars page and the "New Toolbar" dialog.
target_sources(toolkit_commandbars PRIVATE ${CMAKE_CURRENT_LIST_DIR}/src/XTPCustomizeToolbarsPage.cpp)

# Tests: the real sheet over a frame with a menu bar and toolbars, driven by real input.
vorlix_add_gtest(commandbars_customize_toolbars_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/CustomizeToolbarsPageTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/customize_toolbars_test.rc
  LIBS toolkit_commandbars toolkit_controls toolkit_common test_support
  GUI)
target_include_directories(commandbars_customize_toolbars_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
vorlix_use_toolkit(commandbars_customize_toolbars_tests)
