# The segments of a segmented picker (the settings' theme, the connection editor's input mode).
if(TARGET quillmark_ui)
  target_sources(quillmark_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SegmentButton.cpp)
endif()
