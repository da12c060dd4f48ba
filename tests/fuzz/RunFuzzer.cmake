# Runs one fuzz target: cmake -DFUZZER=... -DSEEDS=... -DCORPUS=... -DWORK=... -DSECONDS=... -P this.
# SEEDS (written by the build) and CORPUS (kept in the source tree) are folders of inputs; either may be
# missing. The corpus grown in a run is thrown away before the next, so every run starts from the same inputs.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
# A single allocation this large is a fault: no input of these readers needs one.
set(limits -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=256 -artifact_prefix=${WORK}/)

set(folders)
set(inputs)
foreach(folder IN ITEMS ${SEEDS} ${CORPUS})
    if(IS_DIRECTORY ${folder})
        list(APPEND folders ${folder})
        file(GLOB found LIST_DIRECTORIES false ${folder}/*)
        list(APPEND inputs ${found})
    endif()
endforeach()

# Whole, whatever their size: the exploring run below cuts its inputs to a length it can mutate quickly.
if(inputs)
    execute_process(COMMAND ${FUZZER} ${limits} ${inputs} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${FUZZER} failed (${result}) on a kept input; see the output above")
    endif()
endif()

execute_process(
    COMMAND ${FUZZER} -max_total_time=${SECONDS} -max_len=8192 -print_final_stats=1 ${limits}
            ${WORK}/corpus ${folders}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed (${result}); the input that did it is in ${WORK}")
endif()
