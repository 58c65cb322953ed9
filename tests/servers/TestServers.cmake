# include(${PROJECT_SOURCE_DIR}/tests/servers/TestServers.cmake) from any tests/<folder> that
# needs the fixtures; it defines the library test_servers once, whoever includes it first.
if(NOT TARGET test_servers)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/servers ${PROJECT_BINARY_DIR}/tests/servers)
endif()
