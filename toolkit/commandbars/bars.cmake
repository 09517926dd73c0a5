# The bars: popup bars and popup toolbars (placement, short menus, expanding, animation)
# and the modal popup tracking of the command bars.
target_sources(toolkit_commandbars PRIVATE
  src/XTPCommandBar.cpp
  src/XTPPopupBar.cpp
  src/XTPCommandBarsTrack.cpp)

function(commandbars_bars_test name)
  vorlix_add_gtest(${name}
    SOURCES ${ARGN}
    LIBS toolkit_commandbars toolkit_controls toolkit_common test_support
    GUI)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
  vorlix_use_toolkit(${name})
endfunction()
commandbars_bars_test(commandbars_popup_tests ${CMAKE_CURRENT_LIST_DIR}/tests/PopupBarTest.cpp)
commandbars_bars_test(commandbars_popup_menu_tests ${CMAKE_CURRENT_LIST_DIR}/tests/PopupMenuTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/popup_menu_test.rc)
