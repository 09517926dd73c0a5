# Injected right-click to the first paint of a context menu (animation "None").
add_executable(commandbars_context_menu_bench ${CMAKE_CURRENT_LIST_DIR}/context_menu_bench.cpp)
target_link_libraries(commandbars_context_menu_bench PRIVATE toolkit_commandbars toolkit_controls toolkit_common framework)
target_link_options(commandbars_context_menu_bench PRIVATE -municode)
vorlix_use_toolkit(commandbars_context_menu_bench)
