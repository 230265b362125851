# Naming of subreport files.
quillmark_test(model_subreportnaming_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SubreportNamingTest.cpp
  LIBS quillmark_model)
