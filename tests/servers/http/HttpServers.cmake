# include(${PROJECT_SOURCE_DIR}/tests/servers/http/HttpServers.cmake) from any tests/<folder>
# that needs nginx or tinyproxy; defines test_http_servers once (on top of test_servers).
include(${PROJECT_SOURCE_DIR}/tests/servers/TestServers.cmake)
if(NOT TARGET test_http_servers)
  add_library(test_http_servers STATIC ${PROJECT_SOURCE_DIR}/tests/servers/http/HttpServers.cpp)
  target_include_directories(test_http_servers PUBLIC ${PROJECT_SOURCE_DIR}/tests/servers/http)
  target_link_libraries(test_http_servers PUBLIC test_servers)
endif()
