# The folder and save pages' parts: the pane splitter, the Save Options and Saving Complete
# dialogs, the frame's save loop and the conversion workers; their window tests.
if(NOT TARGET wizard OR TARGET wizard_run_tests)
  return()
endif()

target_sources(wizard PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PaneSplitter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveOptionsDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFrame_runs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgressRelay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SavePage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FolderPage.cpp)
target_link_libraries(wizard PUBLIC toolkit_controls preview contact_pane)

# Splitter, dialogs and the save loop with real windows, real input and real files.
vorlix_add_gtest(wizard_run_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/run_tests/PaneSplitterTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/run_tests/SaveOptionsDlgTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/run_tests/SaveLoopTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/run_tests/SaveRunTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/run_tests/SavePageTest.cpp
  LIBS wizard_test_support
  GUI)
vorlix_use_program_resources(wizard_run_tests)
vorlix_use_toolkit(wizard_run_tests)
if(TARGET redemption)
  add_dependencies(wizard_run_tests redemption)
endif()

# A book big enough for a save to be stopped while it runs.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(WIZARD_RUN_BOOK "${CMAKE_CURRENT_BINARY_DIR}/run-book-20000.nsf")
add_custom_command(OUTPUT "${WIZARD_RUN_BOOK}"
  COMMAND Python3::Interpreter "${CMAKE_SOURCE_DIR}/bench/notes/make_large_book.py" "${WIZARD_RUN_BOOK}" 20000
  DEPENDS "${CMAKE_SOURCE_DIR}/bench/notes/make_large_book.py" VERBATIM)
add_custom_target(wizard_run_book DEPENDS "${WIZARD_RUN_BOOK}")
add_dependencies(wizard_run_tests wizard_run_book)
target_compile_definitions(wizard_run_tests PRIVATE WIZARD_RUN_BOOK="${WIZARD_RUN_BOOK}")
