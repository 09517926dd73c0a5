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
  src/XTPShadowManager.cpp
  src/XTPShadowWnd.cpp)
target_link_libraries(toolkit_commandbars PUBLIC winmm)

# Tests: real windows and SendInput under the display lock.
commandbars_test(commandbars_managers_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/ManagersTest.cpp)
commandbars_test(commandbars_sound_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/SoundManagerTest.cpp)
commandbars_test(commandbars_shadow_tests GUI ${CMAKE_CURRENT_LIST_DIR}/tests/ShadowTest.cpp)
