# The faces of elements on the canvas by kind, their pictures, their context menu and the
# opening of subreports.
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ElementFaceGeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ElementImageLoader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImagePrintGeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LineBreaks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ElementMenuItems.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrintFaces.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SubreportOpener.cpp)
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ElementChildLayer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ElementContextMenu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ElementExpressionSheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ElementFaceCache.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ElementFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ElementPainter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ElementPlaceholders.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintedTextLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TextLabelCache.cpp)
endif()
