# The rules for prompted parameter values, the page-size question before a run and the zip of a
# report folder (through the real zip tool).
quillmark_test(engine_runpieces_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ParameterValueRulesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PDFSizeLimitTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ZipServiceTest.cpp
  LIBS quillmark_services)
