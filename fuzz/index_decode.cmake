kv_add_fuzzer(fuzz_index_decode ${CMAKE_CURRENT_LIST_DIR}/IndexDecodeFuzz.cpp library_snmp)
