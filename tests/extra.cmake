# Further test programs beyond the unit-test executable.

# Fuzz-target replays over the seed corpus and the kept crashers.
include(${PROJECT_SOURCE_DIR}/fuzz/replay.cmake)

# The large-map stress program (run by scripts/suites/stress.sh, not by ctest).
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/stress/CMakeLists.txt)
  add_subdirectory(${CMAKE_CURRENT_SOURCE_DIR}/stress ${CMAKE_CURRENT_BINARY_DIR}/stress)
endif()
