# The swatch that shows a stored colour and opens the colour dialog (the inspector's colour rows,
# the style editors).
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ColorWell.cpp)
endif()
