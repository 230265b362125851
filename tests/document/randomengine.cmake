# The random edits of the property test, saved every 20th edit and compiled by the real engine,
# when it is built; and a short sequence on every report of the corpus the engine compiles as read.
quillmark_test(document_property_engine_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RandomEditsEngineTest.cpp ${CMAKE_CURRENT_LIST_DIR}/SaveVerdict.cpp
  LIBS quillmark_randomedits
  GUI)
if(TARGET document_property_engine_tests)
  target_include_directories(document_property_engine_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)
endif()
