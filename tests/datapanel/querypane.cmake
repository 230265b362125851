# The query pane: the SQL field guesser, Read Fields, the sample CSV test.
quillmark_test(datapanel_query_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/GuesserTest.cpp ${CMAKE_CURRENT_LIST_DIR}/QueryDataTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ReadFieldsLiveTest.cpp ${CMAKE_CURRENT_LIST_DIR}/SampleFileTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/GuesserPostgresTest.cpp
  LIBS quillmark_services)
target_include_directories(datapanel_query_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/document)
quillmark_fake_engine(datapanel_query_tests)

if(NOT QUILLMARK_HEADLESS_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  quillmark_test(datapanel_query_widget_tests GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/QueryPaneTest.cpp ${CMAKE_CURRENT_LIST_DIR}/QueryEditorTypingTest.cpp
    LIBS quillmark_ui Qt6::Test)
  target_include_directories(datapanel_query_widget_tests PRIVATE
    ${PROJECT_SOURCE_DIR}/tests/document ${PROJECT_SOURCE_DIR}/tests/datapanel
    ${PROJECT_SOURCE_DIR}/tests/engine)
endif()
