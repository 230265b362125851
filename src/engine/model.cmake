# The engine model: its jobs, their work files and requests, and the private work folder.
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ChapterCompiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChapterFit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EngineRequests.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EngineWorkFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExportFormat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrivateWorkFolder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SidecarModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SidecarModelDatabase.cpp)
