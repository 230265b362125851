# The page setup sheet: its edits of the report, and the sheet itself offscreen.
quillmark_test(pagesetup_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PageSetupEditsTest.cpp
  LIBS quillmark_services)
if(NOT QUILLMARK_HEADLESS_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  quillmark_test(pagesetup_widget_tests GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PageSetupViewTest.cpp
    LIBS quillmark_ui Qt6::Test)
endif()
