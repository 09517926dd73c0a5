# The customize sheet's keyboard page: shortcuts of the commands by category, assigned
# through the shortcut manager's table in force.
target_sources(toolkit_commandbars PRIVATE ${CMAKE_CURRENT_LIST_DIR}/src/XTPCustomizeKeyboardPage.cpp)

vorlix_add_gtest(commandbars_customize_keyboard_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/CustomizeKeyboardPageTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/customize_keyboard_test.rc
  LIBS toolkit_commandbars toolkit_controls toolkit_common test_support
  GUI)
target_include_directories(commandbars_customize_keyboard_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
vorlix_use_toolkit(commandbars_customize_keyboard_tests)
