# The wizard program: its classes (library wizard), the program Vorlix and their tests.
# The library holds the frame's export half too, so the console drivers and the export
# tests link it rather than compiling frame sources of their own.
if(TARGET wizard)
  return()
endif()

get_filename_component(WIZARD_RES_DIR "${CMAKE_CURRENT_LIST_DIR}/../res" ABSOLUTE)

add_library(wizard STATIC
  ${CMAKE_CURRENT_LIST_DIR}/WorkerRunner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SystemImageList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DominoFileDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFrame_export.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MossgraveApp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MossgraveView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommonBaseView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WelcomeView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FolderTreeView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveNsfToPstView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WebLinkPane.cpp)
target_include_directories(wizard PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${WIZARD_RES_DIR})
target_link_libraries(wizard PUBLIC frame_bars engine wait_tree toolkit_controls toolkit_commandbars toolkit_common framework
                                    lcppn30i comctl32 shell32)
target_precompile_headers(wizard PRIVATE <framework.h>)
# The engine's PST writer calls back into the frame (WritePstTemplate): the two libraries
# need each other, so each is linked again after the other.
target_link_libraries(engine INTERFACE wizard)
# The writer's callback sees the frame's declaration, which names the toolkit's frame base.
target_link_libraries(engine PRIVATE toolkit_controls)

# What the wizard's tests share.
add_library(wizard_test_support INTERFACE)
target_include_directories(wizard_test_support INTERFACE ${CMAKE_CURRENT_LIST_DIR}/wizard_tests)
target_link_libraries(wizard_test_support INTERFACE wizard test_support)

# The program's resources, one table; the worker runner; the system image list.
vorlix_add_gtest(wizard_core_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/wizard_tests/ResourceTableTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wizard_tests/WorkerRunnerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wizard_tests/SystemImageListTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wizard_tests/InstanceMutexTest.cpp
  LIBS wizard_test_support
  GUI)
vorlix_use_program_resources(wizard_core_tests)

# The Domino dialog on the Notes stand-in's simulated servers, driven with real input.
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/wizard_tests/DominoFileDlgTest.cpp)
  vorlix_add_gtest(domino_dialog_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard_tests/DominoFileDlgTest.cpp
    LIBS wizard_test_support
    GUI SERIAL)
  vorlix_use_program_resources(domino_dialog_tests)
endif()

# A wizard page's buttons at their pixels.
vorlix_add_gtest(wizard_page_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard_tests/BaseViewButtonsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/wizard_tests/FilePageNetworkTest.cpp
  LIBS wizard_test_support
  GUI SERIAL)
vorlix_use_program_resources(wizard_page_tests)

# The program itself, beside the launcher in bin/.
add_executable(Vorlix WIN32 ${CMAKE_CURRENT_LIST_DIR}/VorlixApp.cpp)
target_link_libraries(Vorlix PRIVATE wizard)
vorlix_use_program_resources(Vorlix)
vorlix_use_toolkit(Vorlix)
