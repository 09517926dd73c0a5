# The paint manager base and its two themes: theme 0 (classic three-dimensional look) and
# theme 3 (visual styles, falling back to theme 0 operation by operation).
target_sources(toolkit_commandbars PRIVATE
  src/XTPPaintManager.cpp
  src/XTPDefaultTheme.cpp
  src/XTPVisualStylesTheme.cpp)

# Pixels in memory DCs for both themes and the fallback.
commandbars_test(commandbars_paint_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/PaintManagerTest.cpp)
