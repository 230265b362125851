# The master report of a report book, built from its chapters' file names, and where the engine
# finds its chapters.
target_sources(quillmark_services PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ReportBookBuilder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReportBookChapters.cpp)
