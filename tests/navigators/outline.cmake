# The outline: its rows and the store changes of its clicks, drags and menus headless; the
# drawn tree driven by the mouse offscreen.
quillmark_test(outline_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/OutlineRowsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/OutlineActionsTest.cpp
  LIBS quillmark_services)
target_include_directories(outline_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/document)
if(NOT QUILLMARK_HEADLESS_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  quillmark_test(outline_widget_tests GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/OutlineViewTest.cpp
    LIBS quillmark_ui Qt6::Test)
  target_include_directories(outline_widget_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/document
                             ${PROJECT_SOURCE_DIR}/tests/canvas)
endif()
