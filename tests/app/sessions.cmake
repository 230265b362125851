# The designer as its own process, and as the probe drives it: SIGTERM with each sheet open, two
# designers side by side on one user's settings, and the programs a designer starts ending with
# it. The engine cases skip when Java or the jar is missing.
if(TARGET quillmark AND TARGET quillmark_ui)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  quillmark_tool(app_designerprobe SOURCES ${CMAKE_CURRENT_LIST_DIR}/DesignerProbe.cpp
    LIBS quillmark_ui Qt6::Test)
  quillmark_test(termination_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/TerminationTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/DesignerSessionsTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/ChildProcessesTest.cpp
    LIBS quillmark_services ZLIB::ZLIB)
  add_dependencies(termination_tests quillmark app_designerprobe)
  target_include_directories(termination_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)
  target_compile_definitions(termination_tests PRIVATE
    QUILLMARK_PROGRAM="$<TARGET_FILE:quillmark>"
    QUILLMARK_DESIGNER_PROBE="$<TARGET_FILE:app_designerprobe>")
endif()
