# The page setup sheet: its edits of the report are headless, the sheet itself draws.
target_sources(quillmark_services PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PageSetupEdits.cpp)
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PageSetupView.cpp)
endif()
