# Windows build: the two blank PST templates, generated at build time by the host-built
# generator (no Wine needed), and a small test under Wine.
#
# For the program's resources (type "PST", ids 224 and 225):
#   VORLIX_PST_TEMPLATE_UNICODE / VORLIX_PST_TEMPLATE_ANSI  the generated files
#   pst_template_files                                       the target that makes them
# e.g. in an .rc:  224 PST "blank-unicode.pst"  with the folder on the RC include path,
# the files in OBJECT_DEPENDS and add_dependencies(<program> pst_template_files).
include(ExternalProject)
set(PST_TEMPLATE_DIR ${CMAKE_BINARY_DIR}/pst-templates)
set(VORLIX_PST_TEMPLATE_DIR ${PST_TEMPLATE_DIR} CACHE INTERNAL "Folder of the generated blank PST templates")
set(VORLIX_PST_TEMPLATE_UNICODE ${PST_TEMPLATE_DIR}/blank-unicode.pst CACHE INTERNAL "Blank Unicode PST (resource 224)")
set(VORLIX_PST_TEMPLATE_ANSI ${PST_TEMPLATE_DIR}/blank-ansi.pst CACHE INTERNAL "Blank ANSI PST (resource 225)")

set(PST_HOST_DIR ${CMAKE_BINARY_DIR}/pst-host)
ExternalProject_Add(pst_host_tools
  SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/host
  BINARY_DIR ${PST_HOST_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=c++
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${PST_HOST_DIR} --target pst_templates pstcheck
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${PST_HOST_DIR}/pst/pst_templates)

add_custom_command(
  OUTPUT ${VORLIX_PST_TEMPLATE_UNICODE} ${VORLIX_PST_TEMPLATE_ANSI}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PST_TEMPLATE_DIR}
  COMMAND ${PST_HOST_DIR}/pst/pst_templates ${PST_TEMPLATE_DIR}
  DEPENDS pst_host_tools ${PST_SOURCES} ${CMAKE_CURRENT_SOURCE_DIR}/tools/pst_templates.cpp
  COMMENT "Generating the blank PST templates")
add_custom_target(pst_template_files ALL DEPENDS ${VORLIX_PST_TEMPLATE_UNICODE} ${VORLIX_PST_TEMPLATE_ANSI})

get_filename_component(PST_ARTIFACT_DIR "${CMAKE_CURRENT_SOURCE_DIR}/../../build/artifacts/pst" ABSOLUTE)

# Under Wine: the cross-compiled library writes stores (read on the Linux side by
# tests/linux/pst.cmake) and agrees byte for byte with the host-generated templates.
vorlix_add_gtest(pst_win_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/win_test.cpp
  LIBS pst)
target_compile_definitions(pst_win_tests PRIVATE VORLIX_PST_TEMPLATE_DIR="${PST_TEMPLATE_DIR}"
                                                 VORLIX_PST_ARTIFACT_DIR="${PST_ARTIFACT_DIR}")
add_dependencies(pst_win_tests pst_template_files)
