# Pastes from the clipboard of a real X display (a virtual one under xvfb-run), which another
# program owns and then leaves: a program of its own, since it cannot run offscreen.
if(NOT QUILLMARK_HEADLESS_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(clipboardowner ${CMAKE_CURRENT_LIST_DIR}/../support/ClipboardOwner.cpp)
  quillmark_apply_flags(clipboardowner)
  target_link_libraries(clipboardowner PRIVATE Qt6::Gui)

  add_executable(clipboard_paste_tests ${CMAKE_CURRENT_LIST_DIR}/ClipboardPasteTest.cpp)
  quillmark_apply_flags(clipboard_paste_tests)
  target_link_libraries(clipboard_paste_tests PRIVATE quillmark_ui Qt6::Test GTest::gtest
                        quillmark_testsupport quillmark_testmain_gui)
  target_include_directories(clipboard_paste_tests PRIVATE
    ${PROJECT_SOURCE_DIR}/tests/document ${PROJECT_SOURCE_DIR}/tests/inspector)
  target_compile_definitions(clipboard_paste_tests PRIVATE
    QUILLMARK_SOURCE_DIR="${PROJECT_SOURCE_DIR}" QUILLMARK_BINARY_DIR="${PROJECT_BINARY_DIR}"
    QUILLMARK_CLIPBOARD_OWNER="$<TARGET_FILE:clipboardowner>")
  add_dependencies(clipboard_paste_tests clipboardowner)
  add_test(NAME clipboard_paste_tests
    COMMAND xvfb-run -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:clipboard_paste_tests>)
  set_tests_properties(clipboard_paste_tests PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=xcb"
    LABELS gui
    TIMEOUT 300)
endif()
