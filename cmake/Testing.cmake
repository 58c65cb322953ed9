# add_test_suite(NAME SOURCES ... LIBS ... [GUI] [X11])
#   One GoogleTest executable. Headless suites get a QCoreApplication, GUI suites a QApplication
#   on the offscreen platform, X11 suites a QApplication on the X server the test command starts
#   (label x11). Every test is discovered before it runs and fails after a minute if it hangs.
function(add_test_suite name)
  cmake_parse_arguments(ARG "GUI;X11" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 60)
  endif()
  if(ARG_GUI OR ARG_X11)
    target_link_libraries(${name} PRIVATE test_main_gui ${ARG_LIBS} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE test_main_core ${ARG_LIBS} GTest::gtest GTest::gmock)
  endif()
  target_compile_definitions(${name} PRIVATE
    TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    TEST_SERVERS_DIR="${PROJECT_SOURCE_DIR}/tests/servers")
  if(ARG_X11)
    set(env "QT_QPA_PLATFORM=xcb")
    set(labels "x11")
  else()
    set(env "QT_QPA_PLATFORM=offscreen")
    set(labels "headless")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${ARG_TIMEOUT} LABELS "${labels}")
endfunction()
