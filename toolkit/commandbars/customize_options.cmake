# The customize sheet's options page and its section captions.
target_sources(toolkit_commandbars PRIVATE ${CMAKE_CURRENT_LIST_DIR}/src/XTPCustomizeOptionsPage.cpp)
# The page in a real sheet over a frame with command bars.
commandbars_test(commandbars_customize_options_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/CustomizeOptionsPageTest.cpp)
