# Object model, strings, collections, files, archives and exceptions.
vorlix_add_gtest(fw_core_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/core_object_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/core_string_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/core_coll_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/core_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/core_archive_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/core_types_test.cpp
  LIBS framework)
