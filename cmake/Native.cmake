# Native configuration: everything against the in-memory backend, with the
# address and undefined-behaviour sanitizers.
option(VOSSEL_FUZZ "Build the libFuzzer targets in fuzz/ (with clang) instead of the tests" OFF)
if(VOSSEL_FUZZ)
  include(fuzz/Fuzz.cmake)
  return()
endif()
option(VOSSEL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
if(VOSSEL_SANITIZE)
  set(VOSSEL_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  foreach(target vossel_program vossel_memory)
    target_compile_options(${target} PUBLIC ${VOSSEL_SANITIZER_FLAGS})
    target_link_options(${target} PUBLIC ${VOSSEL_SANITIZER_FLAGS})
  endforeach()
endif()

find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

file(GLOB VOSSEL_TEST_SOURCES CONFIGURE_DEPENDS
  tests/unit/*.cpp tests/contract/*.cpp tests/support/*.cpp)
add_executable(vossel_tests ${VOSSEL_TEST_SOURCES})
target_link_libraries(vossel_tests PRIVATE vossel_memory GTest::gtest GTest::gtest_main Threads::Threads)
target_compile_options(vossel_tests PRIVATE ${VOSSEL_WARNINGS})
target_compile_definitions(vossel_tests PRIVATE VOSSEL_CONTRACT_MEMORY)

include(GoogleTest)
# A test that hangs fails after a minute instead of holding up the run.
gtest_discover_tests(vossel_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 60)
