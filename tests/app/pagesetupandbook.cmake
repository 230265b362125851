# The page setup sheet and the report book as the window opens them, a book previewed by the
# real engine (with PostgreSQL where the test scripts start it), and undo over the sheets.
find_package(Qt6 REQUIRED COMPONENTS Test)
quillmark_test(app_setup_tests GUI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PageSetupAndBookTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReportBookPreviewTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SheetUndoTest.cpp
  LIBS quillmark_ui Qt6::Test)
