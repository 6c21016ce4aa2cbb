# Runs the engine demo and checks that it reports fire lines and a clean tracker exit.
# Usage: cmake -DDEMO=<path> -P check_demo.cmake
execute_process(COMMAND ${DEMO} --frames 90 INPUT_FILE /dev/null OUTPUT_VARIABLE OUT
                ERROR_VARIABLE ERR RESULT_VARIABLE RC TIMEOUT 30)
if(NOT RC EQUAL 0)
  message(FATAL_ERROR "demo exited with ${RC}\n${OUT}\n${ERR}")
endif()
if(NOT OUT MATCHES "frame 1 list 1 rotation [0-9-]+: fired")
  message(FATAL_ERROR "no fire line for frame 1:\n${OUT}")
endif()
if(NOT OUT MATCHES "list 3 rotation")
  message(FATAL_ERROR "the third parameter set never fired:\n${OUT}")
endif()
if(NOT OUT MATCHES "\\(LEAKSCOPE\\) All memory deallocated\n")
  message(FATAL_ERROR "the tracker did not report a clean exit:\n${OUT}")
endif()
if(OUT MATCHES "not deallocated")
  message(FATAL_ERROR "the demo leaked:\n${OUT}")
endif()
execute_process(COMMAND ${DEMO} --frames nonsense OUTPUT_VARIABLE OUT2 ERROR_VARIABLE ERR2
                RESULT_VARIABLE RC2 TIMEOUT 30)
if(RC2 EQUAL 0 OR NOT ERR2 MATCHES "usage")
  message(FATAL_ERROR "a bad --frames value must be refused with a usage line (rc ${RC2}):\n${ERR2}")
endif()
