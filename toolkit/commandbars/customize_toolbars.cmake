# The customize sheet's toolbars page and the "New Toolbar" dialog.
target_sources(toolkit_commandbars PRIVATE ${CMAKE_CURRENT_LIST_DIR}/src/XTPCustomizeToolbarsPage.cpp)
