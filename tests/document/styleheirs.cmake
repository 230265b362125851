# Style edits and what inherits from them, judged by the values the real engine reads.
quillmark_test(style_heirs_engine_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/StyleHeirsEngineTest.cpp
  LIBS quillmark_model quillmark_enginevalues)
