# Read by CTest after the discovered fault tests have been added: the report
# test depends on all the others, whether they pass or fail.
set(_faults_report "faults.Reliability.NoFalseSuccessAndNoMoneyInLimbo")
set(_faults_scenarios ${faults_tests_TESTS})
list(FIND _faults_scenarios "${_faults_report}" _faults_at)
if(NOT _faults_at EQUAL -1)
    list(REMOVE_ITEM _faults_scenarios "${_faults_report}")
    set_tests_properties("${_faults_report}" PROPERTIES DEPENDS "${_faults_scenarios}")
endif()
