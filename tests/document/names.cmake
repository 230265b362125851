# Renamed and deleted groups, sub-datasets and styles against the real engine, when it is built.
quillmark_test(names_engine_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RenamesEngineTest.cpp
  LIBS quillmark_services)
target_include_directories(names_engine_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)

# Bands added, shown or filled with columns stay within the page, judged by the real engine when
# it is built.
quillmark_test(bands_on_page_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/BandsOnThePageTest.cpp
  LIBS quillmark_services)
target_include_directories(bands_on_page_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)
