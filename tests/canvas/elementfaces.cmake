# The faces of elements: their geometry, the context menu's items and the opening of
# subreports headless; the painted faces and the menu widget offscreen.
find_package(Qt6 REQUIRED COMPONENTS Test)
quillmark_test(elementfaces_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ElementFaceGeometryTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ElementMenuItemsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/SubreportOpenerTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ElementImageLoaderTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ImagePrintGeometryTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/LineBreaksTest.cpp
  LIBS quillmark_services heif ZLIB::ZLIB Qt6::Test)
target_include_directories(elementfaces_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/document)
if(NOT QUILLMARK_HEADLESS_ONLY)
  quillmark_test(elementfaces_widget_tests GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ElementRenderTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/ElementActionsTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/PrintFacesTest.cpp
    LIBS quillmark_ui Qt6::Test)
  # Pictures drawn against the real engine's print of them.
  quillmark_test(pictureprint_widget_tests GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PicturePrintTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/DrawnAsPrintedTest.cpp
    LIBS quillmark_ui Qt6::Test)
  target_include_directories(pictureprint_widget_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)
endif()
