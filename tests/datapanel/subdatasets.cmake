# The sub-datasets card and the Generate Columns sheet.
if(NOT QUILLMARK_HEADLESS_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  quillmark_test(datapanel_subdatasets_widget_tests GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SubDatasetsCardTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/GenerateColumnsSheetTest.cpp
    LIBS quillmark_ui Qt6::Test)
  target_include_directories(datapanel_subdatasets_widget_tests PRIVATE
    ${PROJECT_SOURCE_DIR}/tests/document ${PROJECT_SOURCE_DIR}/tests/datapanel)
endif()
