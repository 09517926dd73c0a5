# Saving and loading a customised layout: 20 bars of 100 controls, registry and file forms.
add_executable(commandbars_persist_bench ${CMAKE_CURRENT_LIST_DIR}/persist_bench.cpp)
target_link_libraries(commandbars_persist_bench PRIVATE toolkit_commandbars toolkit_controls toolkit_common framework)
target_link_options(commandbars_persist_bench PRIVATE -municode)
vorlix_use_toolkit(commandbars_persist_bench)
