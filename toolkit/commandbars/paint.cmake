# The paint manager base and its two themes: theme 0 (classic three-dimensional look) and
# theme 3 (visual styles, falling back to theme 0 operation by operation).
target_sources(toolkit_commandbars PRIVATE
  src/XTPPaintManager.cpp
  src/XTPDefaultTheme.cpp
  src/XTPVisualStylesTheme.cpp)

# Pixels in memory DCs for both themes and the fallback.
vorlix_add_gtest(commandbars_paint_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/PaintManagerTest.cpp
  LIBS toolkit_commandbars toolkit_controls toolkit_common test_support
  GUI)
target_include_directories(commandbars_paint_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
vorlix_use_toolkit(commandbars_paint_tests)
