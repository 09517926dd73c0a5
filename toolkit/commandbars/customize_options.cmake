# The customize sheet's options page and its section captions.
target_sources(toolkit_commandbars PRIVATE ${CMAKE_CURRENT_LIST_DIR}/src/XTPCustomizeOptionsPage.cpp)

# The page in a real sheet over a frame with command bars; the tests share a registry key.
vorlix_add_gtest(commandbars_customize_options_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/CustomizeOptionsPageTest.cpp
  LIBS toolkit_commandbars toolkit_controls toolkit_common test_support
  GUI)
target_include_directories(commandbars_customize_options_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
vorlix_use_toolkit(commandbars_customize_options_tests)
