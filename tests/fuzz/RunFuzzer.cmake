# Runs one fuzz target for a bounded time: cmake -DFUZZER=... -DSEEDS=... -DWORK=... -DSECONDS=... -P this.
# The corpus grown in a run is thrown away before the next, so every run starts from the same seeds.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
execute_process(
    COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=5 -rss_limit_mb=2048 -print_final_stats=1
            -artifact_prefix=${WORK}/ ${WORK}/corpus ${SEEDS}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed (${result}); the input that did it is in ${WORK}")
endif()
