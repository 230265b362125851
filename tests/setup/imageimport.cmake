# Image import: the service, the window's coordinator and the "Add Image" sheet.
quillmark_test(imageimport_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ImageImportServiceTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ImageImportCoordinatorTest.cpp
  LIBS quillmark_services heif ZLIB::ZLIB)
quillmark_test(imageimport_widget_tests GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ImageImportSheetTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ImageDropTest.cpp
  LIBS quillmark_ui Qt6::Test)
