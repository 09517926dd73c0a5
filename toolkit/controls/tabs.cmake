# Tab strips: the tab manager and its items, the tab paint manager with its appearance
# and colour sets, and the tab control window.
target_sources(toolkit_controls PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPTabManager.cpp
)
