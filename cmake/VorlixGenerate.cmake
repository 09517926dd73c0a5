# vorlix_generate_at_configure(<script.py> <args...>)
# Runs a Python script that writes files the build needs before any target compiles (test
# fixtures, pictures for resource scripts), and runs it again when the script changes.
function(vorlix_generate_at_configure script)
  execute_process(COMMAND /usr/bin/python3 "${script}" ${ARGN} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    get_filename_component(name "${script}" NAME)
    message(FATAL_ERROR "${name} failed (${result})")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${script}")
endfunction()
