# The master report of a report book, built from its chapters' file names.
target_sources(quillmark_services PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ReportBookBuilder.cpp)
