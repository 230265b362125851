# The colour text of elements and styles, and the canvas's selection colour.
target_sources(quillmark_services PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ColorHex.cpp)
