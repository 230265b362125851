# The Database Connections card and the connection editor: the editor's state, the card and the
# sheet against the scripted fake engine, and a live run against the real engine and PostgreSQL.
find_package(Qt6 REQUIRED COMPONENTS Test)
quillmark_test(datapanel_connections_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ConnectionEditorStateTest.cpp
  LIBS quillmark_services Qt6::Test)
target_include_directories(datapanel_connections_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/document)

if(NOT QUILLMARK_HEADLESS_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  quillmark_test(datapanel_connections_widget_tests GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ConnectionsCardTest.cpp
    LIBS quillmark_ui Qt6::Test)
  target_include_directories(datapanel_connections_widget_tests PRIVATE
    ${PROJECT_SOURCE_DIR}/tests/document ${PROJECT_SOURCE_DIR}/tests/datapanel)
  quillmark_fake_engine(datapanel_connections_widget_tests)
endif()

# The live run: a program of its own, run inside a Secret Service that a wrapper script starts
# for it; without the engine, PostgreSQL (sidecar/test.sh exports where it listens) or a Secret
# Service it skips or falls back to an in-memory keychain, saying so.
if(NOT QUILLMARK_HEADLESS_ONLY)
  add_executable(datapanel_connections_live_tests ${CMAKE_CURRENT_LIST_DIR}/ConnectionsLiveTest.cpp)
  quillmark_apply_flags(datapanel_connections_live_tests)
  target_link_libraries(datapanel_connections_live_tests PRIVATE quillmark_ui Qt6::Test GTest::gtest
                        quillmark_testsupport quillmark_testmain_gui)
  target_include_directories(datapanel_connections_live_tests PRIVATE
    ${PROJECT_SOURCE_DIR}/tests/document ${PROJECT_SOURCE_DIR}/tests/datapanel
    ${PROJECT_SOURCE_DIR}/tests/engine)
  target_compile_definitions(datapanel_connections_live_tests PRIVATE
    QUILLMARK_SOURCE_DIR="${PROJECT_SOURCE_DIR}" QUILLMARK_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME datapanel_connections_live_tests.PostgreSQL
    COMMAND ${PROJECT_SOURCE_DIR}/tests/engine/with-secret-service.sh
            $<TARGET_FILE:datapanel_connections_live_tests>)
  set_tests_properties(datapanel_connections_live_tests.PostgreSQL PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    LABELS gui
    TIMEOUT 300
    SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endif()

# The connection editor on the system keychain: once inside a Secret Service that the wrapper
# script starts, once in a D-Bus session without one (the presets then keep passwords for the
# session); the connection tests are answered by the scripted fake engine.
if(NOT QUILLMARK_HEADLESS_ONLY)
  add_executable(datapanel_connection_keychain_tests
    ${CMAKE_CURRENT_LIST_DIR}/ConnectionKeychainTest.cpp)
  quillmark_apply_flags(datapanel_connection_keychain_tests)
  target_link_libraries(datapanel_connection_keychain_tests PRIVATE quillmark_ui Qt6::Test
                        GTest::gtest quillmark_testsupport quillmark_testmain_gui)
  target_include_directories(datapanel_connection_keychain_tests PRIVATE
    ${PROJECT_SOURCE_DIR}/tests/document ${PROJECT_SOURCE_DIR}/tests/datapanel)
  target_compile_definitions(datapanel_connection_keychain_tests PRIVATE
    QUILLMARK_SOURCE_DIR="${PROJECT_SOURCE_DIR}" QUILLMARK_BINARY_DIR="${PROJECT_BINARY_DIR}")
  quillmark_fake_engine(datapanel_connection_keychain_tests)
  foreach(mode SecretService NoSecretService)
    set(without "")
    if(mode STREQUAL "NoSecretService")
      set(without "--without")
    endif()
    add_test(NAME datapanel_connection_keychain_tests.${mode}
      COMMAND ${PROJECT_SOURCE_DIR}/tests/engine/with-secret-service.sh ${without}
              $<TARGET_FILE:datapanel_connection_keychain_tests>)
    set_tests_properties(datapanel_connection_keychain_tests.${mode} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      LABELS gui
      TIMEOUT 120
      SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
  endforeach()
endif()
