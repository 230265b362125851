# Image import: the service that copies pictures beside the report, the window's coordinator
# and the "Add Image" sheet.
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ImageImportService.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageImportCoordinator.cpp)

if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ImageImportOptionsSheet.cpp)
endif()
