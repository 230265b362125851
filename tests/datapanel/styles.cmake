quillmark_test(datapanel_styles_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/StyleEditorTextsTest.cpp
  LIBS quillmark_services)

if(NOT QUILLMARK_HEADLESS_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  quillmark_test(datapanel_styles_widget_tests GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/StyleEditorsTest.cpp ${CMAKE_CURRENT_LIST_DIR}/StylesCardTest.cpp
    LIBS quillmark_ui Qt6::Test)
  target_include_directories(datapanel_styles_widget_tests PRIVATE
    ${PROJECT_SOURCE_DIR}/tests/document ${PROJECT_SOURCE_DIR}/tests/engine)
endif()
