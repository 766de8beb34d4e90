# Project-wide compiler settings, applied to every target through brackwin_options.
add_library(brackwin_options INTERFACE)
target_compile_options(brackwin_options INTERFACE -Wall -Wextra -Wpedantic)
if(BRACKWIN_WARNINGS_AS_ERRORS)
    target_compile_options(brackwin_options INTERFACE -Werror)
endif()
if(BRACKWIN_SANITIZE)
    target_compile_options(brackwin_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(brackwin_options INTERFACE -fsanitize=address,undefined)
endif()
