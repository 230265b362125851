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
# Each case runs in a D-Bus session of its own: `mode` "--without" has no keyring service there.
function(quillmark_keychain_test name mode test)
  add_test(NAME engine_keychain_tests.${name}
    COMMAND ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/with-secret-service.sh ${mode}
            $<TARGET_FILE:engine_keychain_tests> --gtest_filter=QtKeychainHelper.${test})
  set_tests_properties(engine_keychain_tests.${name} PROPERTIES
    LABELS headless
    TIMEOUT 120
    SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endfunction()
quillmark_keychain_test(SecretService "" StoresReadsAndDeletesThroughTheSecretService)
# The login keyring locked, with an unlock prompt that nobody answers.
quillmark_keychain_test(LockedKeyring ""
                        ALockedKeyringWhoseUnlockIsCancelledReadsAsNoPasswordAndSaysSo)
# The login keyring locked, with an unlock prompt on a display, where nobody answers it.
quillmark_keychain_test(UnansweredPrompt --prompt-display
                        ALockedKeyringWhosePromptNobodyAnswersEndsAtTheDeadline)
quillmark_keychain_test(NoSecretService --without WithoutASecretServiceSaysWhyNothingIsStoredOrRead)
# Not even a D-Bus session to reach one.
quillmark_keychain_test(NoBus --no-bus WithoutASecretServiceSaysWhyNothingIsStoredOrRead)
