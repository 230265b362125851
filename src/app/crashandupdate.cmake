# Crash detection and report, its signal handler, and the update check.
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CrashDetection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CrashSignalHandler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SessionRecords.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UpdateChecker.cpp)
