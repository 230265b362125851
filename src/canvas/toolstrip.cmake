# The tool strip's contents: the format toolbar, the element palette, the snippets menu and
# the snippet library.
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FormatToolbarValues.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PaletteActions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SnippetLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SnippetSheetState.cpp)
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FormatToolbar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PaletteView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SaveSnippetSheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SnippetsMenu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToolbarParts.cpp)
endif()
