# The parameter, field, variable and group cards: the relative-date helper and the group rows'
# footer position decide without widgets; the rows of several lines and the Generate Columns
# flag are widgets.
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/GroupFooterPositions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RelativeDateHelper.cpp)
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DataRowLines.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GenerateColumnsSheetVisibility.cpp)
endif()
