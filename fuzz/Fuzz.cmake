# Fuzz configuration: the program and the in-memory backend built for
# libFuzzer, with the address and undefined-behaviour sanitizers, and one
# executable fuzz_<target> per fuzz/fuzz_<target>.cpp.
#   CC=clang CXX=clang++ cmake -S . -B build/fuzz -DVOSSEL_FUZZ=ON
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "VOSSEL_FUZZ needs clang: CC=clang CXX=clang++ cmake -DVOSSEL_FUZZ=ON")
endif()

set(VOSSEL_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
foreach(target vossel_program vossel_memory)
  target_compile_options(${target} PUBLIC ${VOSSEL_FUZZ_FLAGS} -fsanitize=fuzzer-no-link)
  target_link_options(${target} PUBLIC ${VOSSEL_FUZZ_FLAGS})
endforeach()

find_package(GTest REQUIRED)
find_package(Threads REQUIRED)
# The test support brings the program's resources; gtest only links along.
add_library(vossel_fuzz_world STATIC fuzz/FuzzWorld.cpp tests/support/TestOs.cpp)
target_link_libraries(vossel_fuzz_world PUBLIC vossel_memory GTest::gtest Threads::Threads)
target_compile_options(vossel_fuzz_world PRIVATE ${VOSSEL_WARNINGS})

file(GLOB VOSSEL_FUZZ_SOURCES CONFIGURE_DEPENDS fuzz/fuzz_*.cpp)
foreach(source ${VOSSEL_FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE vossel_fuzz_world)
  target_compile_options(${name} PRIVATE ${VOSSEL_WARNINGS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endforeach()
