# The engine process: its client, the child process and pipes it drives, and its errors.
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ChildProcesses.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EngineEnvironment.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EngineLaunchAdvice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ErrorOutputTail.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PipeEnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RequestCancel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SidecarClient.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SidecarError.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SidecarProcess.cpp)
