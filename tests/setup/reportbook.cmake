# The report book's master report, where the engine finds its chapters, and its compile and fill
# in the real engine when Java and the jar are there.
quillmark_test(reportbook_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ReportBookBuilderTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ReportBookChaptersTest.cpp
  LIBS quillmark_services)
