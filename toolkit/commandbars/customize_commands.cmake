# The customize sheet's commands page and its categories.
target_sources(toolkit_commandbars PRIVATE ${CMAKE_CURRENT_LIST_DIR}/src/XTPCustomizeCommandsPage.cpp)

# Tests: categories built from a test menu, the list drawn in two themes, and commands
# dragged out of the list onto a frame's toolbar and into an open submenu with real input.
vorlix_add_gtest(commandbars_customize_commands_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/CustomizeCommandsPageTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/customize_commands_test.rc
  LIBS toolkit_commandbars toolkit_controls toolkit_common test_support
  GUI)
target_include_directories(commandbars_customize_commands_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
vorlix_use_toolkit(commandbars_customize_commands_tests)
