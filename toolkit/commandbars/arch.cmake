# The command-bars core as built so far: the hook, mouse and keyboard managers, the menu
# sound manager, drop shadows, the options and the customize drop source's registry, and
# the first bodies of the bar base, the controls collection and the paint manager base.
target_sources(toolkit_commandbars PRIVATE
  src/XTPHookManager.cpp
  src/XTPMouseManager.cpp
  src/XTPKeyboardManager.cpp
  src/XTPSoundManager.cpp
  src/XTPCommandBarsOptions.cpp
  src/XTPCustomizeDropSource.cpp
  src/XTPCommandBar.cpp
  src/XTPControls.cpp
  src/XTPPaintManager.cpp)
target_link_libraries(toolkit_commandbars PUBLIC winmm)
