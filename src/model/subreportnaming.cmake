# Naming of subreport files, used by the document store and the engine bridge.
target_sources(quillmark_model PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SubreportNaming.cpp)
