# Themes and style factories, the resource manager and the settings exchange; the
# toolkit's resource script toolkit/res/toolkit.rc and its pictures.
target_sources(toolkit_common PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/src/XTThemeManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPResourceManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPPropExchange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPPropExchangeBytes.cpp)

# The toolkit's pictures are drawn at configure time into build/toolkit/res, where
# vorlix_use_toolkit looks for them; that folder and the ids header are also on the include
# path of everything that links the toolkit.
get_filename_component(XTP_TOOLKIT_RES_DIR "${CMAKE_CURRENT_LIST_DIR}/../res" ABSOLUTE)
set(XTP_TOOLKIT_RES_GEN_DIR "${CMAKE_BINARY_DIR}/toolkit/res")
file(MAKE_DIRECTORY "${XTP_TOOLKIT_RES_GEN_DIR}")
vorlix_generate_at_configure("${XTP_TOOLKIT_RES_DIR}/make_toolkit_pictures.py" "${XTP_TOOLKIT_RES_GEN_DIR}")
target_include_directories(toolkit_common PUBLIC ${XTP_TOOLKIT_RES_DIR} ${XTP_TOOLKIT_RES_GEN_DIR})
# The script is compiled once, here, where its pictures are known; vorlix_use_toolkit links
# this object into each program and test.
set(XTP_TOOLKIT_PICTURES)
foreach(name tk_cursor_9008.cur tk_cursor_9009.cur tk_cursor_9011.cur tk_cursor_9970.cur tk_cursor_9971.cur
    tk_cursor_9973.cur tk_bitmap_9000.bmp tk_bitmap_9002.bmp tk_toolbar_9017.bmp tk_toolbar_9017.bin)
  list(APPEND XTP_TOOLKIT_PICTURES "${XTP_TOOLKIT_RES_GEN_DIR}/${name}")
endforeach()
add_library(toolkit_res OBJECT ${XTP_TOOLKIT_RES_DIR}/toolkit.rc)
target_include_directories(toolkit_res PRIVATE ${XTP_TOOLKIT_RES_DIR} ${XTP_TOOLKIT_RES_GEN_DIR})
set_source_files_properties(${XTP_TOOLKIT_RES_DIR}/toolkit.rc PROPERTIES
  OBJECT_DEPENDS "${XTP_TOOLKIT_RES_DIR}/toolkit_res.h;${XTP_TOOLKIT_PICTURES}")

# Damaged toolbar records and a dialog template only the tests carry.
set(XTP_RESPX_TEST_GEN_DIR "${CMAKE_BINARY_DIR}/res-gen/toolkit_respx_tests")
vorlix_generate_at_configure("${CMAKE_CURRENT_LIST_DIR}/tests/make_respx_test_files.py" "${XTP_RESPX_TEST_GEN_DIR}")

vorlix_add_gtest(toolkit_respx_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/ThemeManagerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/ResourceManagerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/PropExchangeTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/PropExchangeDamageTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/respx_test.rc
  LIBS toolkit_common test_support)
target_include_directories(toolkit_respx_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests ${XTP_RESPX_TEST_GEN_DIR})
target_precompile_headers(toolkit_respx_tests PRIVATE <framework.h>)
vorlix_use_toolkit(toolkit_respx_tests)
