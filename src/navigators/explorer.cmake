# The project explorer: its file actions, listings, tree model and state headless; the drawn
# tree in the main window's left column.
find_package(Qt6 REQUIRED COMPONENTS DBus)
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ExplorerFileActions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExplorerListing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExplorerMenus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExplorerModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileRevealer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectExplorerState.cpp)
target_link_libraries(quillmark_services PUBLIC Qt6::DBus)
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ExplorerDelegate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ExplorerTreeView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProjectExplorerView.cpp)
endif()
