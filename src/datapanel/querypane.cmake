# The query pane: the SQL field guesser, Read Fields and the sample CSV test without widgets.
target_sources(quillmark_services PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FieldUses.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QueryTestState.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReadFields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimpleCSV.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SQLFieldGuesser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SqlColumnName.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SqlTokens.cpp)
