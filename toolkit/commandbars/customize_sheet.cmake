# The customize sheet (context menu, image popup, image copy and paste, the run's hooks).
target_sources(toolkit_commandbars PRIVATE ${CMAKE_CURRENT_LIST_DIR}/src/XTPCustomizeSheet.cpp)
commandbars_test(commandbars_customize_sheet_tests GUI
  ${CMAKE_CURRENT_LIST_DIR}/tests/CustomizeSheetTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CustomizeSheetDragTest.cpp)
