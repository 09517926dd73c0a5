# Command 35001 to the customize sheet painted: the sample frame's bars and categories from
# menu 128, and again with a category of 1,000 commands.
add_executable(commandbars_customize_sheet_bench ${CMAKE_CURRENT_LIST_DIR}/customize_sheet_bench.cpp)
target_link_libraries(commandbars_customize_sheet_bench PRIVATE bars_sample_frame)
target_link_options(commandbars_customize_sheet_bench PRIVATE -municode)
vorlix_use_program_resources(commandbars_customize_sheet_bench)
vorlix_use_toolkit(commandbars_customize_sheet_bench)
