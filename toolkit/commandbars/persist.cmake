# The stored layout of the command bars: options, placement of every bar, the controls
# stream (profile or hidden file) and its byte-level reader, the merge of bars read back.
target_sources(toolkit_commandbars PRIVATE
  src/XTPCommandBarsPersist.cpp
  src/XTPCommandBarsPersistBars.cpp
  src/XTPCommandBarsPersistPX.cpp
  src/XTPCommandBarsPersistStream.cpp)
# The placement of toolbars and the merge need the toolbar itself; a tree without it
# (the toolbar area not merged yet) stores the controls stream alone.
set(XTP_PERSIST_HAS_TOOLBAR FALSE)
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/src/XTPToolBar.cpp)
  set(XTP_PERSIST_HAS_TOOLBAR TRUE)
  target_sources(toolkit_commandbars PRIVATE src/XTPCommandBarsPersistLayout.cpp)
else()
  target_sources(toolkit_commandbars PRIVATE src/XTPCommandBarsPersistNoToolBar.cpp)
endif()
# The toolbar's own stored values, unless the toolbar's source brings them.
if(XTP_PERSIST_HAS_TOOLBAR)
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/src/XTPToolBar.cpp xtp_toolbar_px REGEX "CXTPToolBar::DoPropExchange")
  if(NOT xtp_toolbar_px)
    target_sources(toolkit_commandbars PRIVATE src/XTPCommandBarsPersistToolBar.cpp)
  endif()
endif()

# The tests of one binary share a registry key and the controls file: RESOURCE_LOCK keeps
# them from running at the same time.
function(commandbars_persist_test name)
  cmake_parse_arguments(P "GUI" "" "" ${ARGN})
  set(gui)
  if(P_GUI)
    set(gui GUI)
  endif()
  vorlix_add_gtest(${name}
    SOURCES ${P_UNPARSED_ARGUMENTS}
    LIBS toolkit_commandbars toolkit_controls toolkit_common test_support
    RESOURCE_LOCK commandbars_layout_profile
    ${gui})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
  vorlix_use_toolkit(${name})
endfunction()
commandbars_persist_test(commandbars_layout_stream_tests ${CMAKE_CURRENT_LIST_DIR}/tests/LayoutStreamTest.cpp)
