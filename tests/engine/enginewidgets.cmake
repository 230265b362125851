# The engine's windows, offscreen: the PDF preview and the parameter values sheet.
if(NOT QUILLMARK_HEADLESS_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Test)
endif()
quillmark_test(engine_widget_tests GUI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ParameterValuesSheetTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PDFPreviewViewTest.cpp
  LIBS quillmark_ui Qt6::Test)
