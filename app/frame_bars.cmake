# The frame's command bars (library frame_bars): the status bar, menu bar, toolbar, icons,
# theme, shortcuts and stored layout the program's main frame builds; the bars' sample
# program (BarsSample.exe, a toolkit frame with the program's resources) and their tests.
if(TARGET frame_bars)
  return()
endif()

get_filename_component(FRAME_BARS_RES_DIR "${CMAKE_CURRENT_LIST_DIR}/../res" ABSOLUTE)

add_library(frame_bars STATIC ${CMAKE_CURRENT_LIST_DIR}/MainFrame_bars.cpp)
target_include_directories(frame_bars PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${FRAME_BARS_RES_DIR})
target_link_libraries(frame_bars PUBLIC toolkit_commandbars toolkit_controls toolkit_common framework)
target_precompile_headers(frame_bars PRIVATE <framework.h>)
# Parts of the bars that are built in their own areas (the toolbar and dock bars, the menu
# bar, the stored layout): the frame builds each once it is in the tree and tested here.
set(frame_bars_have_toolbar 1)
set(frame_bars_have_menubar 1)
set(frame_bars_have_persist 1)
target_compile_definitions(frame_bars PUBLIC
  FRAMEBARS_HAVE_TOOLBAR=${frame_bars_have_toolbar}
  FRAMEBARS_HAVE_MENUBAR=${frame_bars_have_menubar}
  FRAMEBARS_HAVE_PERSIST=${frame_bars_have_persist})

# The sample program: its frame is a library of its own so the tests can make one too.
add_library(bars_sample_frame STATIC ${CMAKE_CURRENT_LIST_DIR}/bars_sample/BarsSampleFrame.cpp)
target_include_directories(bars_sample_frame PUBLIC ${CMAKE_CURRENT_LIST_DIR}/bars_sample)
target_link_libraries(bars_sample_frame PUBLIC frame_bars)
target_precompile_headers(bars_sample_frame PRIVATE <framework.h>)

add_executable(BarsSample WIN32 ${CMAKE_CURRENT_LIST_DIR}/bars_sample/BarsSampleApp.cpp)
target_link_options(BarsSample PRIVATE -municode)
target_link_libraries(BarsSample PRIVATE bars_sample_frame)
vorlix_use_program_resources(BarsSample)
vorlix_use_toolkit(BarsSample)

# The frame's bars in a frame of the test process, and the sample program run as its own
# process, twice, with real input.
vorlix_add_gtest(frame_bars_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/bars_sample/FrameBarsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/bars_sample/BarsSampleRunTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/bars_sample/BarsSampleCustomizeRestartTest.cpp
  LIBS bars_sample_frame test_support
  WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
  GUI SERIAL)
target_include_directories(frame_bars_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/wizard_tests)
vorlix_use_program_resources(frame_bars_tests)
vorlix_use_toolkit(frame_bars_tests)
add_dependencies(frame_bars_tests BarsSample)
