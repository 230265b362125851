# Image import: the service that copies pictures beside the report, the window's coordinator
# and the "Add Image" sheet; the reader of pictures it shares with the canvas, with HEIC
# decoded by libheif, which is loaded when the first HEIF file is read.
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/HeifPicture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageImportService.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageImportCoordinator.cpp)
target_include_directories(quillmark_services PRIVATE
  $<TARGET_PROPERTY:heif,INTERFACE_INCLUDE_DIRECTORIES>)

if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ImageImportOptionsSheet.cpp)
endif()
