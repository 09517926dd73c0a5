# OLE: automation client against an object registered by the test, OLE initialisation,
# variants; clipboard and drag-and-drop use the X display and share its lock.
vorlix_add_gtest(fw_ole_dispatch_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/ole_dispatch_test.cpp
                 LIBS framework test_support)
vorlix_add_gtest(fw_ole_transfer_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/ole_transfer_test.cpp LIBS framework GUI)
vorlix_add_gtest(fw_ole_control_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/ole_control_test.cpp
                 LIBS framework test_support)
vorlix_add_gtest(fw_ole_events_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/ole_events_test.cpp LIBS framework)
