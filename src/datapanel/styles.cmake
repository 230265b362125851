# The styles card: the editor of a style's basic properties (also used where a new report's
# styles are prepared), its conditional styles, and the card's rows with their usage lines.
target_sources(quillmark_services PRIVATE ${CMAKE_CURRENT_LIST_DIR}/StyleEditorTexts.cpp)
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ConditionalStylesEditor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StyleCoreEditor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StylesSection.cpp)
endif()
