# The tool strip's contents: palette operations and the snippet library headless; the format
# toolbar, the palette's buttons and menus, and the subreport button against the fake engine.
quillmark_test(toolstrip_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PaletteActionsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/SnippetLibraryTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ContainerRoomTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ZeroSizeLineTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ReportOfPartsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/PlaceholderFieldTest.cpp
  LIBS quillmark_services quillmark_canonicaldiff)
target_include_directories(toolstrip_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)
if(NOT QUILLMARK_HEADLESS_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  quillmark_test(toolstrip_widget_tests GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/FormatToolbarTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/PaletteViewTest.cpp
    LIBS quillmark_ui Qt6::Test)
  quillmark_fake_engine(toolstrip_widget_tests)
endif()
