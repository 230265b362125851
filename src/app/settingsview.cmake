# The preferences window.
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/SettingsAboutCard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SettingsView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SettingsWindow.cpp)
endif()
