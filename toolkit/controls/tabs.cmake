# Tab strips: the tab manager and its items, the tab paint manager with its appearance
# and colour sets, and the tab control window.
target_sources(toolkit_controls PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPTabManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPTabPaintManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPTabAppearanceSets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPTabColorSets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPTabControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPTabCommon.cpp
)
