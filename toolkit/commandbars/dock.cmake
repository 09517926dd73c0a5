# Dock bars and the docking layout, the toolbar with its dock context, and the command
# bars' docking operations (adding bars, docking, floating, frame layout).
target_sources(toolkit_commandbars PRIVATE
  src/XTPCommandBarSizes.cpp
  src/XTPDockBar.cpp
  src/XTPToolBar.cpp
  src/XTPBarDragContext.cpp
  src/XTPCommandBarsDocking.cpp)
