kv_add_fuzzer(fuzz_engine_report ${CMAKE_CURRENT_LIST_DIR}/EngineReportFuzz.cpp platform_snmp)
