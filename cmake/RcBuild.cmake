# Build settings shared by every target of the project.

option(RC_SANITIZE "Native build: AddressSanitizer and UBSan on tests and OS-free code" ON)

if(MSVC)
    set(RC_WARNINGS /W4 /WX)
else()
    set(RC_WARNINGS -Wall -Wextra -Werror)
endif()

if(WIN32)
    # Windows 7 API level; ANSI functions throughout.
    set(RC_WIN_DEFINES _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
endif()

# rc_target(<target>): our warnings, definitions and (natively) sanitizers.
function(rc_target target)
    target_compile_options(${target} PRIVATE ${RC_WARNINGS})
    if(WIN32)
        target_compile_definitions(${target} PRIVATE ${RC_WIN_DEFINES})
        if(NOT MSVC)
            # Static runtime: the .exe files run without extra DLLs.
            target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
        endif()
    elseif(RC_SANITIZE)
        rc_sanitize(${target})
    endif()
endfunction()

function(rc_sanitize target)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined
                                              -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
endfunction()
