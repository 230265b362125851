# Execute Query and the query results area, against the scripted fake engine and, where the
# engine's tests provide one, a real PostgreSQL server.
if(NOT QUILLMARK_HEADLESS_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  quillmark_test(datapanel_queryexec_widget_tests GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/QueryExecutionTest.cpp
    LIBS quillmark_ui Qt6::Test)
  target_include_directories(datapanel_queryexec_widget_tests PRIVATE
    ${PROJECT_SOURCE_DIR}/tests/document ${PROJECT_SOURCE_DIR}/tests/datapanel)
  quillmark_fake_engine(datapanel_queryexec_widget_tests)
endif()
