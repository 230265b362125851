# The engine model against the scripted fake engine, its work folder, and against the real engine
# when Java and the jar are there.
quillmark_test(sidecarmodel_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SidecarModelTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ChapterCompilesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EngineWorkFilesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SidecarModelEngineTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EngineMessagesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WorkFolderSessionTest.cpp
  LIBS quillmark_services)
# Quits like the program while requests are pending; the tests time its exit.
quillmark_tool(engine_quitprobe SOURCES ${CMAKE_CURRENT_LIST_DIR}/QuitProbe.cpp
  LIBS quillmark_services)
quillmark_fake_engine(sidecarmodel_tests)
# A designer previewing a report; two at once share the user's work folder.
quillmark_tool(engine_workfolderprobe SOURCES ${CMAKE_CURRENT_LIST_DIR}/WorkFolderProbe.cpp
  LIBS quillmark_services)
add_dependencies(sidecarmodel_tests engine_quitprobe engine_workfolderprobe)
target_compile_definitions(sidecarmodel_tests PRIVATE
  QUILLMARK_QUIT_PROBE="$<TARGET_FILE:engine_quitprobe>"
  QUILLMARK_WORK_FOLDER_PROBE="$<TARGET_FILE:engine_workfolderprobe>")
