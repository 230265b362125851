# The new-report wizard: presets, starter headers, the wizard's choices, creating the report and
# the styles offered from recent reports; the sheet.
quillmark_test(newreport_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/NewReportStateTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/NewReportCreationTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/NewReportEngineTest.cpp
  LIBS quillmark_services Qt6::Test)
quillmark_test(newreport_widget_tests GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/NewReportWizardTest.cpp
  LIBS quillmark_ui Qt6::Test)
