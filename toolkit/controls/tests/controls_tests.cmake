# Tests of the toolkit controls: real windows under Wine, driven by SendInput.
set(CONTROLS_TEST_DIR ${CMAKE_CURRENT_LIST_DIR})
set(CONTROLS_TEST_OUT ${CMAKE_CURRENT_BINARY_DIR}/controls_tests)
file(MAKE_DIRECTORY ${CONTROLS_TEST_OUT})
vorlix_generate_at_configure(${CONTROLS_TEST_DIR}/make_test_icons.py ${CONTROLS_TEST_OUT})
set_source_files_properties(${CONTROLS_TEST_DIR}/controls_tests.rc PROPERTIES
  COMPILE_OPTIONS "-I${CONTROLS_TEST_OUT};-I${CONTROLS_TEST_DIR}"
  OBJECT_DEPENDS "${CONTROLS_TEST_OUT}/test_normal.ico;${CONTROLS_TEST_OUT}/test_hot.ico")

function(controls_test name)
  vorlix_add_gtest(${name}
    SOURCES ${ARGN} ${CONTROLS_TEST_DIR}/controls_tests.rc
    LIBS toolkit_controls toolkit_commandbars toolkit_common test_support
    GUI)
  target_include_directories(${name} PRIVATE ${CONTROLS_TEST_DIR})
  vorlix_use_toolkit(${name})
endfunction()

controls_test(controls_frame_tests ${CONTROLS_TEST_DIR}/FrameWndTest.cpp)
controls_test(controls_button_tests ${CONTROLS_TEST_DIR}/ButtonTest.cpp)
controls_test(controls_edit_tests ${CONTROLS_TEST_DIR}/EditTest.cpp)

# The URL handler the hyperlink tests register for their own scheme.
add_executable(url_recorder WIN32 ${CONTROLS_TEST_DIR}/url_recorder.cpp)
controls_test(controls_hyperlink_tests ${CONTROLS_TEST_DIR}/HyperLinkTest.cpp)
add_dependencies(controls_hyperlink_tests url_recorder)
controls_test(controls_caption_tests ${CONTROLS_TEST_DIR}/CaptionTest.cpp)
controls_test(controls_gallery_tests ${CONTROLS_TEST_DIR}/GalleryTest.cpp)
controls_test(controls_tabclient_tests ${CONTROLS_TEST_DIR}/TabClientTest.cpp)
