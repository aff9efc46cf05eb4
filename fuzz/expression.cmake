kv_add_fuzzer(fuzz_expression ${CMAKE_CURRENT_LIST_DIR}/ExpressionFuzz.cpp library_snmp)
