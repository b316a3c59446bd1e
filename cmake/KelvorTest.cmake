# kelvor_add_test(<source> LABEL <label>): one executable per test source; after each build
# its test functions are listed (-functions) and registered with ctest one by one.
set(KELVOR_TEST_DISCOVER ${CMAKE_CURRENT_LIST_DIR}/DiscoverQtTests.cmake)

function(kelvor_add_test source)
  cmake_parse_arguments(T "" "LABEL" "" ${ARGN})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE kelvortestsupport)
  if(KELVOR_TSAN)
    # Qt GUI paints on the calling thread in the race check (see the file).
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/tsan/QtMalenImGuiThread.cpp)
  endif()
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_tests.cmake)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:${name}> -DNAME=${name} -DLABEL=${T_LABEL}
            -DOUT=${list_file} -P ${KELVOR_TEST_DISCOVER}
    VERBATIM)
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${list_file})
endfunction()
