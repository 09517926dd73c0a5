# Global UI data and system version, drawing helpers and memory DCs, the modal loops' message
# source, the colour manager and the visual-styles wrapper.
target_sources(toolkit_common PRIVATE
  src/XTPSystemVersion.cpp
  src/XTPDrawHelpers.cpp
  src/XTPModalLoop.cpp
  src/XTPColorManager.cpp
  src/XTPWinThemeWrapper.cpp
  src/XTGlobalUIData.cpp)

# Tests: one program, every case its own process under Wine.
set(TK_CORE_GEN ${CMAKE_CURRENT_BINARY_DIR}/core_gen)
file(MAKE_DIRECTORY ${TK_CORE_GEN})
# The colour manager's expected table, computed from the colour rules by a script.
vorlix_generate_at_configure(${CMAKE_CURRENT_LIST_DIR}/tests/make_color_table.py ${TK_CORE_GEN}/core_color_table.h)
vorlix_add_gtest(tk_core_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/core_version_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/core_uidata_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/core_draw_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/core_color_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/core_theme_test.cpp
  LIBS toolkit_common test_support)
target_include_directories(tk_core_test PRIVATE ${TK_CORE_GEN})
vorlix_use_toolkit(tk_core_test)
