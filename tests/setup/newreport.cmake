# The new-report wizard: presets, starter headers, the wizard's choices, creating the report and
# the styles offered from recent reports; the sheet.
quillmark_test(newreport_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/NewReportStateTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/NewReportCreationTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/NewReportEngineTest.cpp
  LIBS quillmark_services Qt6::Test)
target_include_directories(newreport_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/document
  ${PROJECT_SOURCE_DIR}/tests/engine)
quillmark_test(newreport_widget_tests GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/NewReportWizardTest.cpp
  LIBS quillmark_ui Qt6::Test)
target_include_directories(newreport_widget_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/document
  ${PROJECT_SOURCE_DIR}/tests/engine)
