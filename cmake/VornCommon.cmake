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
