# The engine's windows, offscreen: the PDF preview and the parameter values sheet.
quillmark_test(engine_widget_tests GUI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PDFPreviewViewTest.cpp
  LIBS quillmark_ui)
