# The page setup sheet: its edits of the report, and the sheet itself offscreen.
quillmark_test(pagesetup_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PageSetupEditsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/PageSetupEngineTest.cpp
  LIBS quillmark_services)
target_include_directories(pagesetup_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)
if(NOT QUILLMARK_HEADLESS_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  quillmark_test(pagesetup_widget_tests GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PageSetupViewTest.cpp
    LIBS quillmark_ui Qt6::Test)
endif()
