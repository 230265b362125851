# A whole-number stepper: the value beside up and down buttons, clamped to a range.
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Stepper.cpp)
endif()
