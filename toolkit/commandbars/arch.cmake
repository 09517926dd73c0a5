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
  src/XTPShadowManager.cpp
  src/XTPShadowWnd.cpp)
target_link_libraries(toolkit_commandbars PUBLIC winmm)

# Tests: real windows and SendInput under the display lock.
function(commandbars_arch_test name)
  vorlix_add_gtest(${name}
    SOURCES ${ARGN}
    LIBS toolkit_commandbars toolkit_controls toolkit_common test_support
    GUI)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
  vorlix_use_toolkit(${name})
endfunction()
commandbars_arch_test(commandbars_managers_tests ${CMAKE_CURRENT_LIST_DIR}/tests/ManagersTest.cpp)
commandbars_arch_test(commandbars_sound_tests ${CMAKE_CURRENT_LIST_DIR}/tests/SoundManagerTest.cpp)
commandbars_arch_test(commandbars_shadow_tests ${CMAKE_CURRENT_LIST_DIR}/tests/ShadowTest.cpp)
