# Image manager: pictures (icons and alpha bitmaps), their generated forms, icon sets,
# the image manager with its resource loading, clipboard format and persistence, and the
# byte-level readers of the formats it takes in.
target_sources(toolkit_common PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPImageReaders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPImageManagerIcon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPImageManager.cpp)
