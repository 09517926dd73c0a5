# Row layout of a controls collection: 100 and 1,000 controls, docked and floating.
add_executable(commandbars_layout_bench ${CMAKE_CURRENT_LIST_DIR}/layout_bench.cpp)
target_link_libraries(commandbars_layout_bench PRIVATE toolkit_commandbars toolkit_controls toolkit_common framework)
target_link_options(commandbars_layout_bench PRIVATE -municode)
vorlix_use_toolkit(commandbars_layout_bench)
