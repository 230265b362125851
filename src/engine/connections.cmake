# Connection presets and their keychain passwords, JDBC URLs, and the advice for engine errors.
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ConnectionPresetStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DatabaseConnection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FriendlyErrorTranslator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InMemoryKeychain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JdbcURLParser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeychainWait.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LiveConnection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtKeychainHelper.cpp)
