# The query pane: the SQL field guesser, Read Fields, the sample CSV test.
quillmark_test(datapanel_query_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/GuesserTest.cpp
  LIBS quillmark_services)
