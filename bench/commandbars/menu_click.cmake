# An injected click on a menu-bar item to the popup's first paint, median of 50, with the
# animation "None" and the others.
add_executable(commandbars_menu_click_bench ${CMAKE_CURRENT_LIST_DIR}/menu_click_bench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/menu_click_bench.rc)
target_link_libraries(commandbars_menu_click_bench PRIVATE toolkit_commandbars toolkit_controls toolkit_common framework)
target_link_options(commandbars_menu_click_bench PRIVATE -municode)
vorlix_use_toolkit(commandbars_menu_click_bench)
