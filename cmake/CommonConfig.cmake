# One interface target that every target of the project links: language level,
# warnings and the optional sanitizer build.
add_library(veskard_common INTERFACE)
target_compile_features(veskard_common INTERFACE cxx_std_20)

if(MSVC)
    target_compile_options(veskard_common INTERFACE /W4 /permissive- /utf-8)
else()
    target_compile_options(veskard_common INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
        -Woverloaded-virtual -Wimplicit-fallthrough)
endif()

if(VESKARD_WERROR AND NOT MSVC)
    target_compile_options(veskard_common INTERFACE -Werror)
endif()

if(VESKARD_SANITIZE)
    target_compile_options(veskard_common INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(veskard_common INTERFACE -fsanitize=address,undefined)
endif()
