# The customize sheet's commands page and its categories.
target_sources(toolkit_commandbars PRIVATE ${CMAKE_CURRENT_LIST_DIR}/src/XTPCustomizeCommandsPage.cpp)
