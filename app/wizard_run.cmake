# The folder and save pages' parts: the pane splitter, the Save Options and Saving Complete
# dialogs, the frame's save loop and the conversion workers; their window tests.
if(NOT TARGET wizard OR TARGET wizard_run_tests)
  return()
endif()

target_sources(wizard PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PaneSplitter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveOptionsDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFrame_runs.cpp)
target_link_libraries(wizard PUBLIC toolkit_controls)

# Splitter, dialogs and the save loop with real windows, real input and real files.
vorlix_add_gtest(wizard_run_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/run_tests/PaneSplitterTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/run_tests/SaveOptionsDlgTest.cpp
  LIBS wizard_test_support
  GUI)
vorlix_use_program_resources(wizard_run_tests)
vorlix_use_toolkit(wizard_run_tests)
