# Warnings for our own targets; third-party code is not built with these.
# KORVEX_WERROR turns them into errors (the test script sets it, so they stay clean).
option(KORVEX_WERROR "Treat warnings of our own code as errors" OFF)
function(korvex_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
            -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align -Wformat=2
            -Wimplicit-fallthrough -Wmissing-declarations)
        if(KORVEX_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    endif()
endfunction()
