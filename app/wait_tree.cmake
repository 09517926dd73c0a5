# The folder tree, the please-wait dialog and its text progress bar (library wait_tree).
# Their dialog template and image strip (res/waitdlg.rc) are an interface source: every
# program that links the library compiles them in, so the dialog loads wherever it is used.
if(TARGET wait_tree)
  return()
endif()

get_filename_component(WAIT_TREE_RES_DIR "${CMAKE_CURRENT_LIST_DIR}/../res" ABSOLUTE)
# The image strip is drawn by a script; written at configure time so that it exists before
# any program compiles the resource script, whichever folder that program is in.
set(WAIT_TREE_GEN_DIR "${CMAKE_BINARY_DIR}/res-gen/wait_tree")
file(MAKE_DIRECTORY "${WAIT_TREE_GEN_DIR}")
vorlix_generate_at_configure("${WAIT_TREE_RES_DIR}/make_folder_images.py" "${WAIT_TREE_GEN_DIR}/folder_images.bmp")

add_library(wait_tree STATIC
  ${CMAKE_CURRENT_LIST_DIR}/FolderTreeCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaitDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextProgressCtrl.cpp)
target_include_directories(wait_tree PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${WAIT_TREE_RES_DIR} ${WAIT_TREE_GEN_DIR})
target_link_libraries(wait_tree PUBLIC toolkit_common framework)
target_precompile_headers(wait_tree PRIVATE <framework.h>)
# A program that compiles the program's whole resource script gets this one through it.
target_sources(wait_tree INTERFACE
  $<$<NOT:$<BOOL:$<TARGET_PROPERTY:VORLIX_WHOLE_RESOURCE_SCRIPT>>>:${WAIT_TREE_RES_DIR}/waitdlg.rc>)
set_source_files_properties(${WAIT_TREE_RES_DIR}/waitdlg.rc PROPERTIES
  OBJECT_DEPENDS "${WAIT_TREE_RES_DIR}/waitdlg_res.h;${WAIT_TREE_GEN_DIR}/folder_images.bmp")

# What tests that show these windows share: a stand-in for the folder page they report to.
add_library(wait_tree_test_support INTERFACE)
target_include_directories(wait_tree_test_support INTERFACE ${CMAKE_CURRENT_LIST_DIR}/wait_tree_tests)
target_link_libraries(wait_tree_test_support INTERFACE wait_tree test_support)

# Their tests: real windows under the X display.
vorlix_add_gtest(wait_tree_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/wait_tree_tests/WaitTreeTest.cpp
  LIBS wait_tree_test_support comctl32
  GUI)
vorlix_use_toolkit(wait_tree_tests)
