# The shortcut manager with its key-capture edit, and the status bar with its panes.
target_sources(toolkit_commandbars PRIVATE src/XTPShortcutManager.cpp src/XTPStatusBar.cpp)

commandbars_test(commandbars_shortcut_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/ShortcutManagerTest.cpp)
commandbars_test(commandbars_statusbar_tests GUI
  ${CMAKE_CURRENT_LIST_DIR}/tests/StatusBarTest.cpp ${CMAKE_CURRENT_LIST_DIR}/tests/status_tests.rc)
