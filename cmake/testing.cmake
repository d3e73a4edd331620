# brisomel_test_suite(NAME DIRS dir... LIBS lib...)
# One GoogleTest executable from every *.cpp of the given folders (relative to the caller).
# Natively each test is its own CTest case; under Wine the whole executable is one case, so
# that Wine starts once per suite.
find_package(GTest REQUIRED)
include(GoogleTest)

function(brisomel_test_suite name)
  cmake_parse_arguments(ARG "" "" "DIRS;LIBS" ${ARGN})
  set(sources)
  foreach(dir ${ARG_DIRS})
    file(GLOB found CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  if(WIN32)
    # Wine sees the Unix root as drive Z:.
    target_compile_definitions(${name} PRIVATE BRISOMEL_TEST_SOURCE_DIR="Z:${PROJECT_SOURCE_DIR}/tests"
                                                BRISOMEL_BUILD_DIR="Z:${PROJECT_BINARY_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 1200)
  else()
    target_compile_definitions(${name} PRIVATE BRISOMEL_TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}/tests"
                                                BRISOMEL_BUILD_DIR="${PROJECT_BINARY_DIR}")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 600)
  endif()
endfunction()
