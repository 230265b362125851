# The engine's windows: the PDF preview of a render and the sheet that asks for parameter values,
# with the headless rules for those values.
target_sources(quillmark_services PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ParameterValueRules.cpp)
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ParameterValueRow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ParameterValuesSheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PDFPreviewView.cpp)
endif()
