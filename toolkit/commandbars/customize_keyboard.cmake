# The customize sheet's keyboard page: shortcuts of the commands by category, assigned
# through the shortcut manager's table in force.
target_sources(toolkit_commandbars PRIVATE ${CMAKE_CURRENT_LIST_DIR}/src/XTPCustomizeKeyboardPage.cpp)

commandbars_test(commandbars_customize_keyboard_tests GUI
  ${CMAKE_CURRENT_LIST_DIR}/tests/CustomizeKeyboardPageTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/customize_keyboard_test.rc)
