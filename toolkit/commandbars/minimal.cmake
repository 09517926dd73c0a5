# The command bars as the toolkit controls and the frame window base use them before the
# bars themselves exist: command bars object, shortcut manager, command-bar edit class.
target_sources(toolkit_commandbars PRIVATE src/XTPCommandBarsMinimal.cpp)
