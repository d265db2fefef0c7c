# One interface target carries the language standard, warnings and sanitizer
# flags for every target of the project.
add_library(corvane_options INTERFACE)
target_compile_features(corvane_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
# Designated initializers that leave fields at their defaults are intended.
target_compile_options(corvane_options INTERFACE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers
  -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-qual -Wshadow)
# The builds of `make test` treat every warning as an error.
if(CORVANE_WERROR)
  target_compile_options(corvane_options INTERFACE -Werror)
endif()
if(CORVANE_SANITIZE)
  target_compile_options(corvane_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  # Position-independent, a sanitized test program spends a third of its
  # start relocating the sanitizers' metadata (1.7 million pointers in the
  # app tests), and the tests start one such process per case.
  target_link_options(corvane_options INTERFACE -fsanitize=address,undefined -no-pie)
endif()

# Fuzzing: every library gets the coverage hooks the fuzzer steers by, with
# AddressSanitizer and UndefinedBehaviorSanitizer; the targets link the fuzzer.
if(CORVANE_FUZZ)
  target_compile_options(corvane_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined -g)
  target_link_options(corvane_options INTERFACE -fsanitize=address,undefined)
endif()
if(CORVANE_TSAN)
  target_compile_options(corvane_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer -g)
  # Asio's headers use atomic_thread_fence, which GCC says ThreadSanitizer
  # cannot see; a warning about a library's header, not about this code.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(corvane_options INTERFACE -Wno-tsan)
  endif()
  target_link_options(corvane_options INTERFACE -fsanitize=thread)
endif()

# corvane_add_test(NAME sources... LIBS libs...): one gtest executable, its
# cases registered with CTest one by one.
function(corvane_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE corvane_options ${T_LIBS} corvane_test_support GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    CORVANE_TESTDATA="${PROJECT_SOURCE_DIR}/testdata"
    CORVANE_BUNDLE="${CORVANE_BUNDLE_DIR}"
    CORVANE_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()
