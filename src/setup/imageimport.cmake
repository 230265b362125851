# Image import: the service that copies pictures beside the report, the window's coordinator
# and the "Add Image" sheet; the reader of pictures it shares with the canvas, with HEIC
# decoded by libheif, which is loaded when the first HEIF file is read, SVG made safe before Qt
# reads it (compressed SVG inflated through zlib), and the threads that decode them.
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/HeifPicture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SvgPicture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PicturePool.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageImportService.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageImportCoordinator.cpp)
target_include_directories(quillmark_services PRIVATE
  $<TARGET_PROPERTY:heif,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(quillmark_services PRIVATE ZLIB::ZLIB)

if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ImageImportOptionsSheet.cpp)
endif()
