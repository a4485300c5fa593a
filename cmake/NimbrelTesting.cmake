# nimbrel_add_test(<name> SOURCES ... [LIBS ...] [GUI] [TZ zone ...])
# Builds one GoogleTest binary with our main and registers its cases with CTest.
# GUI links the widget main (QApplication, offscreen); without it the binary gets
# a QCoreApplication and must not need a screen.
# With TZ, the cases of suites whose name starts with "Zoned" (or of such an
# instantiation of a parameterised suite) depend on the machine's time zone and
# run once under each zone listed, so time-zone rules are exercised west and east
# of UTC; every other case runs once, under the first zone.
function(nimbrel_add_test name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS;TZ" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_GUI)
    target_link_libraries(${name} PRIVATE nimbrel_test_main_gui)
  else()
    target_link_libraries(${name} PRIVATE nimbrel_test_main_core)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest)
  target_compile_options(${name} PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/common/QtPrinters.h)
  target_compile_definitions(${name} PRIVATE
    NIMBREL_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
    NIMBREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    NIMBREL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(T_TZ)
    list(GET T_TZ 0 first_zone)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_FILTER "-Zoned*:*/Zoned*"
      PROPERTIES ENVIRONMENT "TZ=${first_zone};QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
    foreach(zone IN LISTS T_TZ)
      string(REGEX REPLACE "[^A-Za-z0-9]" "_" suffix "${zone}")
      gtest_discover_tests(${name} TEST_SUFFIX ".${suffix}" TEST_FILTER "Zoned*:*/Zoned*"
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "TZ=${zone};QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
    endforeach()
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
  endif()
endfunction()
