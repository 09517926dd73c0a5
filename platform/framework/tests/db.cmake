# Database classes: a real SQLite database through ODBC, and the in-process driver seam.
vorlix_add_gtest(fw_db_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/db_test.cpp LIBS framework)
