# The multi-line editors' random typing again on a real X display (a virtual one under xvfb-run),
# as the paste tests run: there the views lay their text out as a user's screen does, drops land
# wherever a view is scrolled to, and the middle button pastes the primary selection. The same
# test programs, so each test is written once.
if(NOT QUILLMARK_HEADLESS_ONLY)
  foreach(run
      "widgets_tests=PlainTextEditTest.*"
      "editors_widget_tests=CodeEditorTypingTest.*"
      "inspector_widget_tests=TextCardTypingTest.Random*:TextCardLongLinesTest.*"
      "datapanel_query_widget_tests=QueryEditorTypingTest.Random*"
      "app_widget_tests=SourceSheetTest.Random*:SourceSheetTest.ChangesInALongLine*")
    string(REPLACE "=" ";" parts "${run}")
    list(GET parts 0 program)
    list(GET parts 1 filter)
    add_test(NAME ${program}_on_display
      COMMAND xvfb-run -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${program}>
              --gtest_filter=${filter})
    set_tests_properties(${program}_on_display PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=xcb"
      LABELS gui
      TIMEOUT 600)
  endforeach()
endif()
