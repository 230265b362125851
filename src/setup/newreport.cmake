# The new-report wizard: page presets, starter headers, the wizard's choices and the creation
# of the report; the sheet itself.
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PageFormatPreset.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StarterHeaderStyle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NewReportWizardState.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NewReportCreation.cpp)
