# The engine's windows: the PDF preview of a render and the sheet that asks for parameter values.
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PDFPreviewView.cpp)
endif()
