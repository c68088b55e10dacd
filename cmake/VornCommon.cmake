# One interface target carries the language level, warnings and defines; every target links it.
add_library(vorn_common INTERFACE)
target_compile_features(vorn_common INTERFACE cxx_std_20)
target_compile_options(vorn_common INTERFACE
    -Wall -Wextra -Werror -Wnon-virtual-dtor -Wold-style-cast)
target_compile_definitions(vorn_common INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_KEYWORDS)

if(VORN_SANITIZE)
    target_compile_options(vorn_common INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(vorn_common INTERFACE -fsanitize=address,undefined)
    target_compile_definitions(vorn_common INTERFACE _GLIBCXX_ASSERTIONS)
endif()

if(VORN_TSAN)
    target_compile_options(vorn_common INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(vorn_common INTERFACE -fsanitize=thread)
endif()

# libFuzzer: every library gets the fuzzer's coverage and the sanitizers, so that the fuzz
# targets (which link vorn_fuzz_target for libFuzzer's main) are guided through the parsers.
# -O1 even in a Debug build: at -O0 the coverage traces every comparison inside the standard
# library's templates and the targets run about five times slower.
if(VORN_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "VORN_FUZZ needs clang: configure with CC=clang CXX=clang++")
    endif()
    target_compile_options(vorn_common INTERFACE -fsanitize=fuzzer-no-link,address,undefined
        -fno-sanitize-recover=undefined -fno-omit-frame-pointer -O1)
    target_link_options(vorn_common INTERFACE -fsanitize=address,undefined)
    target_compile_definitions(vorn_common INTERFACE _GLIBCXX_ASSERTIONS)
    add_library(vorn_fuzz_target INTERFACE)
    target_compile_options(vorn_fuzz_target INTERFACE -fsanitize=fuzzer,address,undefined
        -fno-sanitize-recover=undefined)
    target_link_options(vorn_fuzz_target INTERFACE -fsanitize=fuzzer,address,undefined)
endif()
