# Accessibility (the IAccessible part of toolkit objects) and tooltips (the tooltip
# context and the toolkit's own tip windows).
target_sources(toolkit_common PRIVATE
  src/XTPAccessible.cpp
  src/XTPToolTipContext.cpp
  src/XTPToolTipWnd.cpp)
