# Further test programs beyond the unit-test executable.

# Fuzz-target replays over the seed corpus and the kept crashers.
include(${PROJECT_SOURCE_DIR}/fuzz/replay.cmake)

# The large-map stress program (run by scripts/suites/stress.sh, not by ctest).
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/stress/CMakeLists.txt)
  add_subdirectory(${CMAKE_CURRENT_SOURCE_DIR}/stress ${CMAKE_CURRENT_BINARY_DIR}/stress)
endif()

# A host written in C: the public header compiles as C, and both exports,
# looked up with dlsym, give the documented results through intptr_t variables.
add_executable(gridseek_c_host ${CMAKE_CURRENT_SOURCE_DIR}/c_host_test.c)
set_target_properties(gridseek_c_host PROPERTIES C_STANDARD 11 C_STANDARD_REQUIRED ON C_EXTENSIONS OFF)
target_include_directories(gridseek_c_host PRIVATE ${PROJECT_SOURCE_DIR}/include)
target_link_libraries(gridseek_c_host PRIVATE ${CMAKE_DL_LIBS} gridseek_warnings)
add_dependencies(gridseek_c_host gridseek)
add_test(NAME c_host COMMAND gridseek_c_host $<TARGET_FILE:gridseek>)
set_tests_properties(c_host PROPERTIES PASS_REGULAR_EXPRESSION "c host: all checks passed")
