# Accessibility (the IAccessible part of toolkit objects) and tooltips (the tooltip
# context and the toolkit's own tip windows).
target_sources(toolkit_common PRIVATE
  src/XTPAccessible.cpp
  src/XTPToolTipContext.cpp
  src/XTPToolTipWnd.cpp)

# Accessibility tests need no input; tooltip tests move the real pointer (GUI lock).
vorlix_add_gtest(tk_accessible_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/accessible_test.cpp
  LIBS toolkit_common test_support)
vorlix_use_toolkit(tk_accessible_test)
vorlix_add_gtest(tk_tooltip_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/tooltip_test.cpp
  LIBS toolkit_common test_support
  GUI)
vorlix_use_toolkit(tk_tooltip_test)
