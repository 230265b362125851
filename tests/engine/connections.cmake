# Connection presets and their passwords, JDBC URLs, and the advice for engine errors.
quillmark_test(engine_connections_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ConnectionPresetStoreTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FriendlyErrorTranslatorTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JdbcURLParserTest.cpp
  LIBS quillmark_services)

# The system keychain, against a Secret Service started for the test by a wrapper script; the
# test skips with a message where that cannot start.
add_executable(engine_keychain_tests ${CMAKE_CURRENT_LIST_DIR}/SecretServiceKeychainTest.cpp)
quillmark_apply_flags(engine_keychain_tests)
target_link_libraries(engine_keychain_tests PRIVATE quillmark_services GTest::gtest
                      quillmark_testsupport quillmark_testmain)
add_test(NAME engine_keychain_tests.SecretService
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/with-secret-service.sh $<TARGET_FILE:engine_keychain_tests>
          --gtest_filter=QtKeychainHelper.StoresReadsAndDeletesThroughTheSecretService)
set_tests_properties(engine_keychain_tests.SecretService PROPERTIES
  LABELS headless
  TIMEOUT 120
  SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
# The login keyring locked, with an unlock prompt that nobody answers: a session of its own.
add_test(NAME engine_keychain_tests.LockedKeyring
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/with-secret-service.sh $<TARGET_FILE:engine_keychain_tests>
          --gtest_filter=QtKeychainHelper.ALockedKeyringWhoseUnlockIsCancelledReadsAsNoPasswordAndSaysSo)
set_tests_properties(engine_keychain_tests.LockedKeyring PROPERTIES
  LABELS headless
  TIMEOUT 120
  SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
add_test(NAME engine_keychain_tests.NoSecretService
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/with-secret-service.sh --without
          $<TARGET_FILE:engine_keychain_tests>
          --gtest_filter=QtKeychainHelper.WithoutASecretServiceSaysWhyNothingIsStoredOrRead)
set_tests_properties(engine_keychain_tests.NoSecretService PROPERTIES
  LABELS headless
  TIMEOUT 120
  SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
