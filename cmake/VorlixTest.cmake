# vorlix_add_gtest(<name> SOURCES <files...> [LIBS <libs...>] [RESOURCE_LOCK <names...>]
#                  [WORKING_DIRECTORY <dir>] [GUI] [SERIAL])
# Builds a GoogleTest program and registers each of its cases with ctest, run under Wine.
# GUI marks tests that need the X display for real input or the clipboard: they share a lock.
# SERIAL marks tests that change machine-wide state other tests read (the Notes registration,
# say): they run while nothing else does.
function(vorlix_add_gtest name)
  cmake_parse_arguments(T "GUI;SERIAL" "WORKING_DIRECTORY" "SOURCES;LIBS;RESOURCE_LOCK" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE VORLIX_SHARED_DIR="${VORLIX_SHARED_DIR}"
                                             VORLIX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(NOT T_WORKING_DIRECTORY)
    set(T_WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
  endif()
  set(props TIMEOUT 120)
  if(T_GUI)
    list(APPEND T_RESOURCE_LOCK x11display)
  endif()
  if(T_SERIAL)
    list(APPEND props RUN_SERIAL TRUE)
  endif()
  # Test discovery passes properties on as a flat list, so a test holds one lock at most;
  # one that needs more runs alone instead.
  list(LENGTH T_RESOURCE_LOCK lockCount)
  if(lockCount GREATER 1)
    list(APPEND props RUN_SERIAL TRUE)
  elseif(lockCount EQUAL 1)
    list(APPEND props RESOURCE_LOCK "${T_RESOURCE_LOCK}")
  endif()
  # Value-parameterised cases are named by their suite's name generator; the printed value
  # (raw bytes for a struct) would otherwise be appended to every such test's name.
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    NO_PRETTY_VALUES
    DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY "${T_WORKING_DIRECTORY}"
    PROPERTIES ${props})
endfunction()
