# The preferences window.
find_package(Qt6 REQUIRED COMPONENTS Test)
quillmark_test(settings_view_tests GUI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SettingsViewTest.cpp
  LIBS quillmark_ui Qt6::Test)
