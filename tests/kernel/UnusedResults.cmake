# Whether a load or a write that can fail can be ignored: cmake -DCOMPILER=... -DSOURCE_DIR=... -DSNIPPETS=...
# -P this. Each snippet is only compiled, with a dropped [[nodiscard]] result made an error: a snippet named
# *Ignored.cpp must fail for exactly that reason, every other snippet must compile.
file(GLOB snippets ${SNIPPETS}/*.cpp)
if(NOT snippets)
    message(FATAL_ERROR "no snippets in ${SNIPPETS}")
endif()
foreach(snippet IN LISTS snippets)
    get_filename_component(name ${snippet} NAME)
    execute_process(COMMAND ${COMPILER} -std=c++20 -fsyntax-only -Werror=unused-result -I${SOURCE_DIR} ${snippet}
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(name MATCHES "Ignored\\.cpp$")
        if(result EQUAL 0 OR NOT output MATCHES "unused-result")
            message(FATAL_ERROR "${name}: the dropped result was not refused:\n${output}")
        endif()
    elseif(NOT result EQUAL 0)
        message(FATAL_ERROR "${name} does not compile:\n${output}")
    endif()
    message(STATUS "${name}: as expected")
endforeach()
