# The fuzz targets' entry points built with the ordinary compiler and a replay
# main, run as tests over the generated seed corpus and the kept crashers in
# fuzz/regressions/.
set(GRIDSEEK_FUZZ_DIR ${PROJECT_SOURCE_DIR}/fuzz)
set(GRIDSEEK_FUZZ_CORPUS ${PROJECT_BINARY_DIR}/fuzz-corpus)

find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND)
  add_custom_command(
    OUTPUT ${GRIDSEEK_FUZZ_CORPUS}/stamp
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/make-fuzz-corpus.py ${GRIDSEEK_FUZZ_CORPUS}
    COMMAND ${CMAKE_COMMAND} -E touch ${GRIDSEEK_FUZZ_CORPUS}/stamp
    DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make-fuzz-corpus.py
    COMMENT "Generating the fuzz seed corpus")
  add_custom_target(gridseek_fuzz_corpus ALL DEPENDS ${GRIDSEEK_FUZZ_CORPUS}/stamp)
endif()

foreach(target exports bitmap)
  add_executable(gridseek_fuzz_replay_${target} ${GRIDSEEK_FUZZ_DIR}/fuzz_${target}.cpp
                                                ${GRIDSEEK_FUZZ_DIR}/replay_main.cpp)
  target_include_directories(gridseek_fuzz_replay_${target} PRIVATE ${GRIDSEEK_FUZZ_DIR} ${PROJECT_SOURCE_DIR}/tests)
  if(target STREQUAL "exports")
    # The reference searches come from the test-support library.
    target_link_libraries(gridseek_fuzz_replay_${target} PRIVATE gridseek_test_support)
  endif()
  target_link_libraries(gridseek_fuzz_replay_${target} PRIVATE gridseek_core gridseek_warnings)
  set(inputs ${GRIDSEEK_FUZZ_DIR}/regressions/${target})
  if(Python3_FOUND)
    add_dependencies(gridseek_fuzz_replay_${target} gridseek_fuzz_corpus)
    list(APPEND inputs ${GRIDSEEK_FUZZ_CORPUS}/${target})
  endif()
  add_test(NAME FuzzReplay.${target} COMMAND gridseek_fuzz_replay_${target} ${inputs})
  set_tests_properties(FuzzReplay.${target} PROPERTIES TIMEOUT 600)
endforeach()
