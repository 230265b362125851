# The zip of a report folder, made with the system zip tool.
target_sources(quillmark_services PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ZipService.cpp)
