# Reports in the older form, with a DOCTYPE line and no namespace: adds that form cannot hold turn
# the file to the namespace form and the bar above the working area says so; the real engine, when
# it is built, compiles every save.
quillmark_test(older_form_tests GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/OlderFormTest.cpp
  LIBS quillmark_ui Qt6::Test)
if(TARGET older_form_tests)
  target_include_directories(older_form_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)
endif()
