# Report a Bug and Show in Folder through the desktop's own opener, xdg-open, with a stand-in for
# it on the PATH: on a real X display (a virtual one under xvfb-run), where the platform would
# start xdg-open itself and take its start for success.
if(NOT QUILLMARK_HEADLESS_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(desktop_opener_tests ${CMAKE_CURRENT_LIST_DIR}/DesktopOpenersTest.cpp)
  quillmark_apply_flags(desktop_opener_tests)
  target_link_libraries(desktop_opener_tests PRIVATE quillmark_ui Qt6::Test GTest::gtest
                        quillmark_testsupport quillmark_testmain_gui)
  target_compile_definitions(desktop_opener_tests PRIVATE
    QUILLMARK_SOURCE_DIR="${PROJECT_SOURCE_DIR}" QUILLMARK_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME desktop_opener_tests
    COMMAND xvfb-run -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:desktop_opener_tests>)
  set_tests_properties(desktop_opener_tests PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=xcb"
    LABELS gui
    TIMEOUT 300)
endif()
