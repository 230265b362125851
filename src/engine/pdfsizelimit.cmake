# The question asked before a run whose page is larger than the PDF engine renders in full.
target_sources(quillmark_services PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PDFSizeLimit.cpp)
