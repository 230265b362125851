# The parameter, field, variable and group cards.
quillmark_test(datapanel_datacards_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RelativeDateHelperTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/GroupFooterPositionsTest.cpp
  LIBS quillmark_services)

if(NOT QUILLMARK_HEADLESS_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  quillmark_test(datapanel_datacards_widget_tests GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ParametersCardTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/FieldsCardTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/VariablesCardTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/GroupsCardTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/NamesInUseTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/GroupBandsNamesTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/UsesBeforeChangesTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/NameChoicesTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/GeneratedNamesTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/SortFieldNamesTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/LazyRowsTest.cpp
    LIBS quillmark_ui Qt6::Test)
  target_include_directories(datapanel_datacards_widget_tests
    PRIVATE ${PROJECT_SOURCE_DIR}/tests/document ${PROJECT_SOURCE_DIR}/tests/engine
            ${CMAKE_CURRENT_LIST_DIR})
endif()
