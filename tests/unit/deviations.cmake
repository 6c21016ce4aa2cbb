# The deviation ids marked in the code and the entries of docs/DEVIATIONS.md are the same.
add_test(NAME DeviationsMatchTheCode
         COMMAND bash ${CMAKE_SOURCE_DIR}/tools/check_deviations.sh ${CMAKE_SOURCE_DIR})
set_tests_properties(DeviationsMatchTheCode PROPERTIES LABELS unit)
