# The new-report wizard: page presets, starter headers, the wizard's choices and the creation
# of the report; the sheet itself.
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PageFormatPreset.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StarterHeaderStyle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NewReportWizardState.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NewReportCreation.cpp)

if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/NewReportChoiceCard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NewReportStylesCard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NewReportWizardView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NewReportWizardSheet.cpp)
endif()
