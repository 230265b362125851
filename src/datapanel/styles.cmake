# The styles card: its conditional styles and the card's rows with their usage lines (the
# editor of a style's basic properties is a shared window part in widgets/).
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ConditionalStylesEditor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StylesSection.cpp)
endif()
