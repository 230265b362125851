# The grammar of reports without the namespace against the engine's document type and, when it is
# built, the engine's own judgement and values of the same reports.
quillmark_test(document_type_grammar_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DocumentTypeGrammarTest.cpp
  LIBS quillmark_services quillmark_enginevalues)
target_include_directories(document_type_grammar_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)
