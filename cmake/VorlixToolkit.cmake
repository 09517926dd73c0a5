# vorlix_use_toolkit(<target> [NO_MANIFEST])
# Links what a program or test using the UI toolkit needs beside the toolkit libraries,
# which a static library cannot carry: the common-controls 6 manifest (unless NO_MANIFEST,
# for a program that brings its own) and the toolkit's resource script toolkit/res/toolkit.rc
# (cursors, bitmaps, menus, strings of ids 9000-9999) when it exists. Resource objects go
# straight into the executable, since one inside a static library is never pulled in.
# When the toolkit's resources are built as an object library named toolkit_res its objects
# are linked; otherwise the script is compiled for the target, with toolkit/res and its
# build folder (where pictures drawn at build time land) as include folders.
set(VORLIX_TOOLKIT_MANIFEST_RC "${CMAKE_CURRENT_LIST_DIR}/../toolkit/common/res/toolkit_manifest.rc")
get_filename_component(VORLIX_TOOLKIT_MANIFEST_RC "${VORLIX_TOOLKIT_MANIFEST_RC}" ABSOLUTE)

function(vorlix_use_toolkit target)
  cmake_parse_arguments(U "NO_MANIFEST" "" "" ${ARGN})
  if(NOT U_NO_MANIFEST)
    target_sources(${target} PRIVATE "${VORLIX_TOOLKIT_MANIFEST_RC}")
    get_filename_component(dir "${VORLIX_TOOLKIT_MANIFEST_RC}" DIRECTORY)
    set_property(SOURCE "${VORLIX_TOOLKIT_MANIFEST_RC}" DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
                 APPEND PROPERTY OBJECT_DEPENDS "${dir}/toolkit.manifest")
  endif()
  set(rc "${CMAKE_SOURCE_DIR}/toolkit/res/toolkit.rc")
  if(EXISTS "${rc}")
    target_sources(${target} PRIVATE
      "$<IF:$<TARGET_EXISTS:toolkit_res>,$<$<TARGET_EXISTS:toolkit_res>:$<TARGET_OBJECTS:toolkit_res>>,${rc}>")
    target_include_directories(${target} PRIVATE
      "${CMAKE_SOURCE_DIR}/toolkit/res" "${CMAKE_BINARY_DIR}/toolkit/res")
  endif()
endfunction()

# vorlix_toolkit_library(<library> <public libraries>...)
# The body of a toolkit folder's CMakeLists.txt: in the host build only the part files of
# native/ (plain C++ readers and fuzz targets); otherwise a static library with include/
# public, the framework's precompiled header, and every part file (*.cmake beside the
# folder's CMakeLists.txt) included in name order, each listing its area's sources and tests.
# A macro, so the part files and any functions the folder defines for them share its scope.
macro(vorlix_toolkit_library library)
  if(VORLIX_NATIVE)
    file(GLOB _vorlix_parts ${CMAKE_CURRENT_SOURCE_DIR}/native/*.cmake)
  else()
    file(GLOB _vorlix_parts ${CMAKE_CURRENT_SOURCE_DIR}/*.cmake)
  endif()
  list(SORT _vorlix_parts)
  if(_vorlix_parts AND NOT VORLIX_NATIVE)
    add_library(${library} STATIC)
    target_include_directories(${library} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include)
    target_link_libraries(${library} PUBLIC ${ARGN})
    target_precompile_headers(${library} PRIVATE <framework.h>)
  endif()
  foreach(_vorlix_part ${_vorlix_parts})
    include(${_vorlix_part})
  endforeach()
endmacro()
