# The sidecar client against the scripted fake engine, and against the real one when it is built.
quillmark_test(sidecarclient_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SidecarClientTest.cpp ${CMAKE_CURRENT_LIST_DIR}/SidecarEngineTest.cpp
  LIBS quillmark_services)
quillmark_fake_engine(sidecarclient_tests)
