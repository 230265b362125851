# Where the picture of an image element is, read from its expression.
target_sources(quillmark_services PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ImageExpression.cpp)
