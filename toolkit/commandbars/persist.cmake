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
# The menu bar's stored values and document menus, unless the menu bar's source brings
# them.
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/src/XTPMenuBar.cpp)
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/src/XTPMenuBar.cpp xtp_menubar_px
       REGEX "CXTPMenuBar::(DoPropExchange|GenerateCommandBarList|RestoreCommandBarList)")
  if(NOT xtp_menubar_px)
    target_sources(toolkit_commandbars PRIVATE src/XTPCommandBarsPersistMenuBar.cpp)
  endif()
endif()
# The combo box's and the edit's stored values, unless their sources bring them.
foreach(kind ComboBox Edit)
  if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/src/XTPControl${kind}.cpp)
    file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/src/XTPControl${kind}.cpp xtp_${kind}_px
         REGEX "CXTPControl${kind}::DoPropExchange")
    if(NOT xtp_${kind}_px)
      target_sources(toolkit_commandbars PRIVATE src/XTPCommandBarsPersist${kind}.cpp)
    endif()
  endif()
endforeach()
# The toolbar's own stored values, unless the toolbar's source brings them.
if(XTP_PERSIST_HAS_TOOLBAR)
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/src/XTPToolBar.cpp xtp_toolbar_px REGEX "CXTPToolBar::DoPropExchange")
  if(NOT xtp_toolbar_px)
    target_sources(toolkit_commandbars PRIVATE src/XTPCommandBarsPersistToolBar.cpp)
  endif()
endif()

# The tests of one binary share a registry key and the controls file: RESOURCE_LOCK keeps
# them from running at the same time.
commandbars_test(commandbars_layout_stream_tests RESOURCE_LOCK commandbars_layout_profile ${CMAKE_CURRENT_LIST_DIR}/tests/LayoutStreamTest.cpp)
if(XTP_PERSIST_HAS_TOOLBAR)
  commandbars_test(commandbars_layout_bars_tests GUI RESOURCE_LOCK commandbars_layout_profile ${CMAKE_CURRENT_LIST_DIR}/tests/LayoutBarsTest.cpp)
endif()
