# Windows configuration: vossel.exe, and, where GoogleTest's sources are at
# hand, the contract tests against the Win32 backend; on a Linux host the
# tests and the end-to-end test run under Wine.
enable_language(RC)
if(MSVC)
  set(VOSSEL_STATIC_RUNTIME "")
else()
  # The C and C++ runtimes linked in, so vossel.exe needs no DLL beyond the system's.
  set(VOSSEL_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
endif()

file(GLOB VOSSEL_WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp)
list(FILTER VOSSEL_WIN32_SOURCES EXCLUDE REGEX "WinMain\\.cpp$")
add_library(vossel_win32 STATIC ${VOSSEL_WIN32_SOURCES})
target_link_libraries(vossel_win32 PUBLIC vossel_program user32 gdi32 comctl32 shell32 shlwapi advapi32 uuid)
target_compile_options(vossel_win32 PRIVATE ${VOSSEL_WARNINGS})

# The application object is referenced by nothing but its own constructor, so
# it must be linked as an object of its own, not fetched from the library.
file(GLOB VOSSEL_APP_SOURCES CONFIGURE_DEPENDS app/*.cpp)
add_executable(vossel WIN32 platform/win32/WinMain.cpp ${VOSSEL_APP_SOURCES} resources/vossel.rc)
target_link_libraries(vossel PRIVATE vossel_win32)
target_compile_options(vossel PRIVATE ${VOSSEL_WARNINGS})
target_link_options(vossel PRIVATE ${VOSSEL_STATIC_RUNTIME})
if(NOT MSVC)
  target_link_options(vossel PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
endif()
# The help page the Options dialog opens lives next to the executable.
add_custom_command(TARGET vossel POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/vossel-help.html
          $<TARGET_FILE_DIR:vossel>/vossel-help.html)
install(TARGETS vossel RUNTIME DESTINATION .)
install(FILES resources/vossel-help.html DESTINATION .)

# Test programs, each a console or GUI program with the same static runtime.
function(vossel_test_program name)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE ${VOSSEL_WARNINGS})
  target_link_options(${name} PRIVATE ${VOSSEL_STATIC_RUNTIME})
endfunction()

add_subdirectory(bench)

# GoogleTest from Debian's sources, cross-built with the rest.
set(VOSSEL_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
if(EXISTS ${VOSSEL_GTEST_SOURCE_DIR}/CMakeLists.txt)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  # GoogleTest uses Win32 threads on Windows; winpthreads would only add a DLL.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(${VOSSEL_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(target gtest gtest_main)
    get_target_property(gtest_includes ${target} INTERFACE_INCLUDE_DIRECTORIES)
    set_target_properties(${target} PROPERTIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${gtest_includes}")
  endforeach()

  # The contract tests, against the Win32 backend.
  file(GLOB VOSSEL_CONTRACT_SOURCES CONFIGURE_DEPENDS tests/contract/*.cpp)
  vossel_test_program(vossel_contract_tests ${VOSSEL_CONTRACT_SOURCES} tests/contract/ContractResources.rc)
  target_link_libraries(vossel_contract_tests PRIVATE vossel_win32 gtest gtest_main oleacc oleaut32)
endif()

if(NOT CMAKE_HOST_UNIX)
  return()
endif()

# Every Wine run gets a fresh prefix of its own, copied from the template
# that scripts/wine-prefix.sh boots once for the build folder.
if(TARGET vossel_contract_tests)
  add_test(NAME vossel_contract_tests
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/contract/run_under_wine.sh ${CMAKE_BINARY_DIR}/contract-prefix
            $<TARGET_FILE:vossel_contract_tests> --gtest_color=no)
  set_tests_properties(vossel_contract_tests PROPERTIES TIMEOUT 300)
endif()

# End to end: vosseldrv.exe observes and pokes the real vossel.exe, and
# fakeexplorer.exe is the launch program whose start and window are checked.
# Each file under tests/e2e/cases/ is a test of its own; they take the screen
# one at a time.
vossel_test_program(vosseldrv tests/e2e/driver/VosselDriver.cpp)
target_link_libraries(vosseldrv PRIVATE user32 shell32 shlwapi advapi32 version ole32 oleaut32 oleacc uuid)
vossel_test_program(fakeexplorer WIN32 tests/e2e/launchee/FakeExplorer.cpp)
target_link_libraries(fakeexplorer PRIVATE user32)
file(GLOB VOSSEL_E2E_CASES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/cases/*.sh)
foreach(case_file ${VOSSEL_E2E_CASES})
  get_filename_component(case_name ${case_file} NAME_WE)
  add_test(NAME e2e_${case_name} COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/run_e2e.sh ${CMAKE_BINARY_DIR} ${case_name})
  set_tests_properties(e2e_${case_name} PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endforeach()
