# The bars: popup bars and popup toolbars (placement, short menus, expanding, animation)
# and the modal popup tracking of the command bars.
target_sources(toolkit_commandbars PRIVATE
  src/XTPCommandBar.cpp
  src/XTPPopupBar.cpp
  src/XTPCommandBarsTrack.cpp)

commandbars_test(commandbars_popup_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/PopupBarTest.cpp)
commandbars_test(commandbars_popup_menu_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/PopupMenuTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/popup_menu_test.rc)
