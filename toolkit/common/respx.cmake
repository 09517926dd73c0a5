# Themes and style factories, the resource manager and the settings exchange; the
# toolkit's resource script toolkit/res/toolkit.rc and its pictures.
target_sources(toolkit_common PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/src/XTThemeManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPResourceManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPPropExchange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/XTPPropExchangeBytes.cpp)

# The toolkit's pictures are drawn at configure time into the build tree; that folder and
# the ids header are on the include path of everything that links the toolkit, so that a
# program compiling toolkit.rc finds them.
get_filename_component(XTP_TOOLKIT_RES_DIR "${CMAKE_CURRENT_LIST_DIR}/../res" ABSOLUTE)
set(XTP_TOOLKIT_RES_GEN_DIR "${CMAKE_BINARY_DIR}/res-gen/toolkit")
file(MAKE_DIRECTORY "${XTP_TOOLKIT_RES_GEN_DIR}")
vorlix_generate_at_configure("${XTP_TOOLKIT_RES_DIR}/make_toolkit_pictures.py" "${XTP_TOOLKIT_RES_GEN_DIR}")
target_include_directories(toolkit_common PUBLIC ${XTP_TOOLKIT_RES_DIR} ${XTP_TOOLKIT_RES_GEN_DIR})
set_source_files_properties(${XTP_TOOLKIT_RES_DIR}/toolkit.rc PROPERTIES
  OBJECT_DEPENDS "${XTP_TOOLKIT_RES_DIR}/toolkit_res.h;${XTP_TOOLKIT_RES_DIR}/make_toolkit_pictures.py")

# Damaged toolbar records and a dialog template only the tests carry.
set(XTP_RESPX_TEST_GEN_DIR "${CMAKE_BINARY_DIR}/res-gen/toolkit_respx_tests")
vorlix_generate_at_configure("${CMAKE_CURRENT_LIST_DIR}/tests/make_respx_test_files.py" "${XTP_RESPX_TEST_GEN_DIR}")

vorlix_add_gtest(toolkit_respx_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/ThemeManagerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/ResourceManagerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/PropExchangeTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/PropExchangeDamageTest.cpp
    ${XTP_TOOLKIT_RES_DIR}/toolkit.rc
    ${CMAKE_CURRENT_LIST_DIR}/tests/respx_test.rc
  LIBS toolkit_common test_support)
target_include_directories(toolkit_respx_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests ${XTP_RESPX_TEST_GEN_DIR})
target_precompile_headers(toolkit_respx_tests PRIVATE <framework.h>)
