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
function(commandbars_model_test name)
  vorlix_add_gtest(${name}
    SOURCES ${ARGN}
    LIBS toolkit_commandbars toolkit_controls toolkit_common test_support
    GUI)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
  vorlix_use_toolkit(${name})
endfunction()
commandbars_model_test(commandbars_layout_tests ${CMAKE_CURRENT_LIST_DIR}/tests/ControlsLayoutTest.cpp)
commandbars_model_test(commandbars_model_tests
  ${CMAKE_CURRENT_LIST_DIR}/tests/ControlsModelTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/ControlsModel.rc)
