# Themed button and its themes, edits and browse edit, captions and caption popup,
# hyperlink, the frame window base and the MDI tab client. The edit's context menu and the
# frame's hooks go through the command bars' minimal services.
target_sources(toolkit_controls PRIVATE
  src/XTButton.cpp
  src/XTButtonTheme.cpp
  src/XTEdit.cpp
  src/XTBrowseEdit.cpp
  src/XTCaption.cpp
  src/XTHyperLink.cpp
  src/XTPFrameWnd.cpp
  src/XTPTabClientWnd.cpp)
target_link_libraries(toolkit_controls PUBLIC toolkit_commandbars)
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/controls_tests.cmake)
  include(${CMAKE_CURRENT_SOURCE_DIR}/tests/controls_tests.cmake)
endif()
