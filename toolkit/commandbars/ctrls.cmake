# The list placeholder controls (window list, toolbars, OLE verbs, recent files, workspace
# actions), the edit and combo box controls with their edit window and list popup and the
# shell auto-completion watch, and the custom control hosting a window. The controls
# collection makes these kinds by class name, so each source defines a symbol that the
# library's users are made to pull in.
target_sources(toolkit_commandbars PRIVATE
  src/XTPEdit.cpp
  src/XTPControlEdit.cpp
  src/XTPControlComboBox.cpp
  src/XTPControlCustom.cpp
  src/XTPControlLists.cpp)
target_link_options(toolkit_commandbars INTERFACE
  -Wl,-u,vorlix_cb_link_edit
  -Wl,-u,vorlix_cb_link_controledit
  -Wl,-u,vorlix_cb_link_combo
  -Wl,-u,vorlix_cb_link_custom
  -Wl,-u,vorlix_cb_link_lists)

# Tests: the controls in a bar and a menu with real input; pictures of the fields.
commandbars_test(commandbars_field_tests GUI
  ${CMAKE_CURRENT_LIST_DIR}/tests/ControlEditTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/ctrls_tests.rc)
commandbars_test(commandbars_ctrl_list_tests GUI
  ${CMAKE_CURRENT_LIST_DIR}/tests/ControlListsTest.cpp)
commandbars_test(commandbars_ctrl_toolbar_tests GUI
  ${CMAKE_CURRENT_LIST_DIR}/tests/ControlsInToolbarTest.cpp)

# The list tests once more as one process, in their order: a test that damages the heap or
# leaves a window object behind for the next one fails here even when each passes alone.
add_test(NAME commandbars_ctrl_list_tests.in_one_process COMMAND commandbars_ctrl_list_tests)
set_tests_properties(commandbars_ctrl_list_tests.in_one_process PROPERTIES
  TIMEOUT 300
  RESOURCE_LOCK x11display
  WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
