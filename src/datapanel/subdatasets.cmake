# The sub-datasets card and the Generate Columns sheet with the panel's flag that shows it.
if(TARGET quillmark_ui)
  get_target_property(_quillmark_ui_sources quillmark_ui SOURCES)
  foreach(_source GenerateColumnsSheet.cpp GenerateColumnsSheetVisibility.cpp)
    # The flag may be listed by the fields card's topic file as well.
    if(NOT "${CMAKE_CURRENT_LIST_DIR}/${_source}" IN_LIST _quillmark_ui_sources)
      target_sources(quillmark_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/${_source})
    endif()
  endforeach()
endif()
