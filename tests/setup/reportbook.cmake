# The report book's master report, and its compile and fill in the real engine when Java and the
# jar are there.
quillmark_test(reportbook_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ReportBookBuilderTest.cpp
  LIBS quillmark_services)
