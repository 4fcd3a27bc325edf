# tlv_add_gui_test(NAME SOURCES a.cpp ... LIBS lib ...): a widget test program with its own main,
# which sets the offscreen platform and a private runtime folder before the application exists.
function(tlv_add_gui_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/gui_main.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Widgets GTest::gtest)
  target_compile_definitions(${name} PRIVATE
    TLV_BINARY_DIR="${PROJECT_BINARY_DIR}"
    TLV_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 30
    PROPERTIES TIMEOUT 120)
endfunction()
