quillmark_test(colorstrings_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ColorHexTest.cpp
  LIBS quillmark_services)
