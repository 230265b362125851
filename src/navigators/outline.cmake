# The outline of the open report: its rows, their tree model and what clicks, drags and menus on
# them do headless; the drawn tree in the main window's left column.
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/OutlineActions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OutlineModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OutlineRows.cpp)
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/OutlineDelegate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OutlineView.cpp)
endif()
