# The controls of the command bars: the control base, the button, popup, label and
# selector kinds, and the controls collection with its row layout.
target_sources(toolkit_commandbars PRIVATE
  src/XTPControl.cpp
  src/XTPControlButton.cpp
  src/XTPControlPopup.cpp
  src/XTPControlLabel.cpp
  src/XTPControlSelector.cpp
  src/XTPControls.cpp)

# Tests: the row layout as tables with sizes the test gives; creation from a real menu
# resource, copying and comparing, the execute path and held-button tracking with real
# input, and the accessibility answers.
commandbars_test(commandbars_layout_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/ControlsLayoutTest.cpp)
commandbars_test(commandbars_model_tests GUI
  ${CMAKE_CURRENT_LIST_DIR}/tests/ControlsModelTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/ControlsModel.rc)
