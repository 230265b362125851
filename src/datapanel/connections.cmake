# The Database Connections card and the connection editor sheet: the editor's state is decided
# without widgets.
target_sources(quillmark_services PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ConnectionEditorState.cpp)
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ConnectionEditorSheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OutcomeText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PanelInnerSheet.cpp)
endif()
