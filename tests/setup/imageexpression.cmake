# Image locations read from expressions.
quillmark_test(imageexpression_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ImageExpressionTest.cpp
  LIBS quillmark_services)
