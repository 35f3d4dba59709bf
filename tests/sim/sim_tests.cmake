# Tests of the simulated cooling unit: the model, its commands and status line in-process, and
# the program end to end against a stand-in for the control centre's unit port.
tcc_add_test(sim_tests
  sim/test_sim_commands.cpp
  sim/test_unit_model.cpp
  sim/test_unit_sim_program.cpp
)
target_link_libraries(sim_tests PRIVATE tarvik_unit_model Qt6::Network)
add_dependencies(sim_tests tarvik-unit-sim)
target_compile_definitions(sim_tests PRIVATE UNIT_SIM_PATH="$<TARGET_FILE:tarvik-unit-sim>")
