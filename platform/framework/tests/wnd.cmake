# Window layer: command targets, message maps and routing, handle maps, windows, threads,
# the application object and its profile, dialogs, the entry point.
add_executable(framework_entry_probe WIN32
  ${CMAKE_CURRENT_LIST_DIR}/wnd_entry_probe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wnd_entry_probe.rc)
target_link_libraries(framework_entry_probe PRIVATE framework)

vorlix_add_gtest(framework_wnd_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/wnd_cmdtarget_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wnd_msgmap_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wnd_app_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wnd_dialog_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wnd_entry_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wnd_tests.rc
  LIBS framework test_support
  GUI)  # dialogs and the pre-translation tests take the foreground and the keyboard focus
add_dependencies(framework_wnd_tests framework_entry_probe)
