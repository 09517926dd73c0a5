# Global UI data and system version, drawing helpers and memory DCs, the colour manager and
# the visual-styles wrapper.
target_sources(toolkit_common PRIVATE
  src/XTPSystemVersion.cpp)
