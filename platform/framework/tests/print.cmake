# Printing: the print job record, the print dialog's record, the DC's printing flag and the
# views' printing hooks (the machine has no printer: jobs are checked up to where they need one).
vorlix_add_gtest(fw_print_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/print_test.cpp LIBS framework)
