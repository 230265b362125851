# Crash detection with its signal handler, and the update check against a loopback feed.
quillmark_test(crash_update_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/CrashDetectionTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UpdateCheckerTest.cpp
  LIBS quillmark_services)
