# Crash detection with its signal handler, and the update check against a loopback feed.
quillmark_test(crash_update_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/CrashDetectionTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UpdateCheckerTest.cpp
  LIBS quillmark_services)
# SIGTERM sent to the program itself.
if(TARGET quillmark)
  quillmark_test(termination_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TerminationTest.cpp
    LIBS quillmark_services)
  add_dependencies(termination_tests quillmark)
  target_compile_definitions(termination_tests PRIVATE
    QUILLMARK_PROGRAM="$<TARGET_FILE:quillmark>")
endif()
