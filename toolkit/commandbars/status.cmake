# The shortcut manager with its key-capture edit, and the status bar with its panes.
target_sources(toolkit_commandbars PRIVATE src/XTPShortcutManager.cpp src/XTPStatusBar.cpp)

function(commandbars_status_test name)
  vorlix_add_gtest(${name}
    SOURCES ${ARGN}
    LIBS toolkit_commandbars toolkit_controls toolkit_common test_support
    GUI)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
  vorlix_use_toolkit(${name})
endfunction()
commandbars_status_test(commandbars_shortcut_tests ${CMAKE_CURRENT_LIST_DIR}/tests/ShortcutManagerTest.cpp)
commandbars_status_test(commandbars_statusbar_tests
  ${CMAKE_CURRENT_LIST_DIR}/tests/StatusBarTest.cpp ${CMAKE_CURRENT_LIST_DIR}/tests/status_tests.rc)
