# The project explorer: its file actions, listings and drops headless on temporary folders; the
# drawn tree driven by the mouse offscreen.
quillmark_test(explorer_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ExplorerFileActionsTest.cpp
  LIBS quillmark_services)
if(NOT QUILLMARK_HEADLESS_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  quillmark_test(explorer_widget_tests GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProjectExplorerViewTest.cpp
    LIBS quillmark_ui Qt6::Test)
endif()
