# The customize drag loop: time per drag-over step across a bar of 200 controls.
add_executable(commandbars_drag_bench ${CMAKE_CURRENT_LIST_DIR}/drag_bench.cpp)
target_link_libraries(commandbars_drag_bench PRIVATE toolkit_commandbars toolkit_controls toolkit_common framework)
target_link_options(commandbars_drag_bench PRIVATE -municode)
vorlix_use_toolkit(commandbars_drag_bench)
