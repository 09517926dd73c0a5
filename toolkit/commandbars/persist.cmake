# The stored layout of the command bars: options, placement of every bar, the controls
# stream (profile or hidden file) and its byte-level reader, the merge of bars read back.
target_sources(toolkit_commandbars PRIVATE
  src/XTPCommandBarsPersist.cpp
  src/XTPCommandBarsPersistBars.cpp
  src/XTPCommandBarsPersistLayout.cpp
  src/XTPCommandBarsPersistPX.cpp
  src/XTPCommandBarsPersistStream.cpp)

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
