# The rest of the command-bars core: the bar base's customize drop targets, command-state
# updates, copying, context help and accessibility; the command bars' Alt accelerators,
# keyboard cues, frame pre-translation and frame messages, and their manager overrides.
target_sources(toolkit_commandbars PRIVATE
  src/XTPCommandBarCustomize.cpp
  src/XTPCommandBarsKeys.cpp)

commandbars_test(commandbars_core_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/CommandBarsCoreTest.cpp)
commandbars_test(commandbars_core_theme_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/CoreThemeTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/popup_menu_test.rc)

# The core tests once more as one process: a test that damages the heap or leaves a window
# object behind for the next one fails here even when each passes alone.
add_test(NAME commandbars_core_tests.in_one_process COMMAND commandbars_core_tests)
set_tests_properties(commandbars_core_tests.in_one_process PROPERTIES
  TIMEOUT 300
  RESOURCE_LOCK x11display
  WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
