# Themes and style factories, the resource manager and the settings exchange.
target_sources(toolkit_common PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPPropExchangeBytes.cpp)
